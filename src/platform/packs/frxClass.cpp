#include "platform/packs/frxClass.h"

#include <QLabel>
#include <QScrollArea>
#include <QVBoxLayout>

TfrxView::TfrxView(TComponent* owner) : QObject(nullptr), TComponent(this, owner) {}

TfrxView::~TfrxView() {
    Changed(); // no longer on the page
}

void TfrxView::SetBounds(int left, int top, int width, int height) {
    bounds_ = QRect(left, top, width, height);
    Changed();
}

TfrxReport* TfrxView::Report() const {
    return dynamic_cast<TfrxReport*>(Owner());
}

void TfrxView::Changed() {
    if (TfrxReport* report = Report()) report->ObjectChanged();
}

TfrxMemoView::TfrxMemoView(TComponent* owner) : TfrxView(owner) {
    font_.OnChange = [this] { Changed(); };
    memo_.OnChange = [this] { Changed(); };
}

TfrxPictureView::TfrxPictureView(TComponent* owner) : TfrxView(owner) {
    picture_.OnChange = [this] { Changed(); };
}

TfrxReport::TfrxReport(TComponent* owner) : QObject(nullptr), TComponent(this, owner) {}

TfrxReport::~TfrxReport() = default;

void TfrxReport::ShowReport() {
    if (!preview_) {
        preview_ = std::make_unique<QWidget>();
        preview_->setWindowTitle(QStringLiteral("Preview"));
        auto* layout = new QVBoxLayout(preview_.get());
        layout->setContentsMargins(0, 0, 0, 0);
        auto* scroll = new QScrollArea;
        scroll->setBackgroundRole(QPalette::Dark);
        scroll->setAlignment(Qt::AlignHCenter);
        layout->addWidget(scroll);
        page_ = new QWidget;
        page_->setFixedSize(794, 1123); // A4 at 96 dots per inch
        page_->setAutoFillBackground(true);
        // Its own roles, not the dark surround's that it would inherit.
        page_->setBackgroundRole(QPalette::Window);
        page_->setForegroundRole(QPalette::WindowText);
        QPalette paper = page_->palette();
        paper.setColor(QPalette::Window, Qt::white);
        paper.setColor(QPalette::WindowText, Qt::black);
        page_->setPalette(paper);
        scroll->setWidget(page_);
        preview_->resize(840, 700);
    }
    BuildPage();
    preview_->show();
    preview_->raise();
}

// Objects change one property at a time; the page is built again once they are done.
void TfrxReport::ObjectChanged() {
    if (!preview_ || rebuildPending_) return;
    rebuildPending_ = true;
    QMetaObject::invokeMethod(this, &TfrxReport::BuildPage, Qt::QueuedConnection);
}

void TfrxReport::BuildPage() {
    rebuildPending_ = false;
    if (!page_) return;
    qDeleteAll(page_->findChildren<QWidget*>(Qt::FindDirectChildrenOnly));
    for (int k = 0; k < ComponentCount(); ++k) {
        auto* label = new QLabel(page_);
        if (auto* memo = dynamic_cast<TfrxMemoView*>(Components(k))) {
            QString text = memo->Memo()->Text();
            text.chop(1); // the break after the last line
            label->setTextFormat(Qt::PlainText);
            label->setWordWrap(true);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            label->setText(text);
            QFont font = label->font();
            font.setFamily(memo->Font()->Name());
            if (memo->Font()->Size() > 0) font.setPointSize(memo->Font()->Size());
            label->setFont(font);
            label->setGeometry(memo->Bounds());
        } else if (auto* picture = dynamic_cast<TfrxPictureView*>(Components(k))) {
            label->setScaledContents(true);
            label->setPixmap(QPixmap::fromImage(picture->Picture()->Image()));
            label->setGeometry(picture->Bounds());
        } else {
            delete label;
            continue;
        }
        label->setObjectName(Components(k)->Name());
        label->show();
    }
}
