#include "platform/vcl/Components.h"

#include <QFont>
#include <QMetaProperty>
#include <QRegularExpression>
#include <QScopedValueRollback>
#include <QWidget>

#include <algorithm>

namespace {

EComponentError IndexError(int index) {
    return EComponentError(QStringLiteral("List index out of bounds (%1)").arg(index));
}

template <class T> void Remove(std::vector<T*>& list, T* item) {
    const auto it = std::find(list.begin(), list.end(), item);
    if (it != list.end()) list.erase(it);
}

} // namespace

void TStrings::CheckIndex(int index, int count) const {
    if (index < 0 || index >= count) throw IndexError(index);
}

QString TStrings::Strings(int index) const {
    CheckIndex(index, Count());
    return Get(index);
}

void TStrings::SetStrings(int index, const QString& text) {
    CheckIndex(index, Count());
    Put(index, text);
}

QObject* TStrings::Objects(int index) const {
    CheckIndex(index, Count());
    return GetObject(index);
}

void TStrings::SetObjects(int index, QObject* object) {
    CheckIndex(index, Count());
    PutObject(index, object);
}

void TStrings::Delete(int index) {
    CheckIndex(index, Count());
    DeleteItem(index);
}

int TStrings::AddObject(const QString& text, QObject* object) {
    const int index = Count();
    InsertItem(index, text, object);
    return index;
}

void TStrings::InsertObject(int index, const QString& text, QObject* object) {
    CheckIndex(index, Count() + 1); // inserting at the end is allowed
    InsertItem(index, text, object);
}

void TStrings::Assign(const TStrings& source) {
    if (&source == this) return;
    Clear();
    const int n = source.Count();
    for (int i = 0; i < n; ++i)
        InsertItem(i, source.Get(i), source.GetObject(i));
}

QString TStrings::Text() const {
    QString text;
    const int n = Count();
    for (int i = 0; i < n; ++i)
        text += Get(i) + QLatin1Char('\n');
    return text;
}

void TStrings::SetText(const QString& text) {
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\n|\r"));
    Clear();
    if (text.isEmpty()) return;
    QStringList lines = text.split(lineBreak);
    if (lines.last().isEmpty()) lines.removeLast(); // a closing break makes no empty last line
    for (const QString& line : lines)
        Add(line);
}

void TStringList::InsertItem(int index, const QString& text, QObject* object) {
    items_.insert(items_.begin() + index, Item{text, object});
}

void TStringList::DeleteItem(int index) {
    items_.erase(items_.begin() + index);
}

void TFont::SetCharset(std::uint8_t charset) {
    if (charset_ == charset) return;
    charset_ = charset;
    Changed();
}

void TFont::SetName(const QString& name) {
    if (name_ == name) return;
    name_ = name;
    Changed();
}

void TFont::SetSize(int size) {
    if (size_ == size) return;
    size_ = size;
    Changed();
}

void TFont::Assign(const TFont& source) {
    if (charset_ == source.charset_ && name_ == source.name_ && size_ == source.size_) return;
    charset_ = source.charset_;
    name_ = source.name_;
    size_ = source.size_;
    Changed();
}

void TFont::Changed() {
    if (OnChange) OnChange();
}

TComponent::TComponent(QObject* self, TComponent* owner) : self_(self), owner_(owner) {
    if (owner_) owner_->components_.push_back(this);
}

TComponent::~TComponent() {
    // Last created first; each is told first that it no longer has an owner to leave.
    while (!components_.empty()) {
        TComponent* component = components_.back();
        components_.pop_back();
        component->owner_ = nullptr;
        delete component;
    }
    if (owner_) Remove(owner_->components_, this);
}

QString TComponent::ClassName() const {
    return QString::fromLatin1(self_->metaObject()->className());
}

TComponent* TComponent::Components(int index) const {
    if (index < 0 || index >= ComponentCount()) throw IndexError(index);
    return components_[static_cast<std::size_t>(index)];
}

TControl::TControl(QWidget* self, TComponent* owner)
    : TControl(self, owner, dynamic_cast<TControl*>(owner)) {}

TControl::TControl(QWidget* self, TComponent* owner, TControl* parent)
    : TComponent(self, owner), widget_(self) {
    font_.OnChange = [this] { FontChanged(); };
    SetParent(parent);
    // The widget shows the font from the start, whether the parent's or the default one.
    ApplyFont();
}

TControl::~TControl() {
    // The widgets on this one are destroyed by Qt after this part of the object is gone.
    for (TControl* control : controls_)
        control->parent_ = nullptr;
    if (parent_) Remove(parent_->controls_, this);
}

void TControl::SetParent(TControl* parent) {
    if (parent == parent_) return;
    if (parent_) Remove(parent_->controls_, this);
    parent_ = parent;
    const bool hidden = widget_->isHidden() && widget_->testAttribute(Qt::WA_WState_ExplicitShowHide);
    widget_->setParent(parent_ ? parent_->widget_ : nullptr);
    if (!parent_) return;
    parent_->controls_.push_back(this);
    // A control shows with its parent unless it was hidden on purpose.
    if (!hidden) widget_->show();
    FollowParentFont();
    if (align_ != alNone) parent_->AlignControls();
}

TControl* TControl::Controls(int index) const {
    if (index < 0 || index >= ControlCount()) throw IndexError(index);
    return controls_[static_cast<std::size_t>(index)];
}

void TControl::SetParentFont(bool parentFont) {
    parentFont_ = parentFont;
    FollowParentFont();
}

void TControl::FollowParentFont() {
    if (!parentFont_ || !parent_) return;
    QScopedValueRollback following(followingParent_, true);
    font_.Assign(parent_->font_);
}

void TControl::FontChanged() {
    if (!followingParent_) parentFont_ = false;
    ApplyFont();
    for (TControl* control : controls_)
        control->FollowParentFont();
}

void TControl::ApplyFont() {
    QFont font = widget_->font();
    font.setFamily(font_.Name());
    if (font_.Size() > 0) font.setPointSize(font_.Size());
    widget_->setFont(font);
    FontApplied();
}

QString TControl::Hint() const {
    return widget_->toolTip();
}
void TControl::SetHint(const QString& hint) {
    widget_->setToolTip(hint);
}

void TControl::SetAlign(TAlign align) {
    if (align_ == align) return;
    align_ = align;
    if (parent_) parent_->AlignControls();
}

int TControl::Left() const {
    return widget_->x();
}
int TControl::Top() const {
    return widget_->y();
}
int TControl::Width() const {
    return widget_->width();
}
int TControl::Height() const {
    return widget_->height();
}

void TControl::SetBounds(int left, int top, int width, int height) {
    widget_->setGeometry(left, top, width, height);
    if (align_ != alNone && parent_) parent_->AlignControls();
}

QRect TControl::AlignControls() {
    QRect rest = widget_->contentsRect();
    for (TAlign align : {alTop, alBottom, alLeft, alRight, alClient}) {
        for (TControl* control : controls_) {
            if (control->align_ != align || control->widget_->isHidden()) continue;
            QWidget* w = control->widget_;
            switch (align) {
            case alTop:
                w->setGeometry(rest.left(), rest.top(), rest.width(), w->height());
                rest.setTop(rest.top() + w->height());
                break;
            case alBottom:
                w->setGeometry(rest.left(), rest.top() + rest.height() - w->height(), rest.width(),
                               w->height());
                rest.setHeight(rest.height() - w->height());
                break;
            case alLeft:
                w->setGeometry(rest.left(), rest.top(), w->width(), rest.height());
                rest.setLeft(rest.left() + w->width());
                break;
            case alRight:
                w->setGeometry(rest.left() + rest.width() - w->width(), rest.top(), w->width(),
                               rest.height());
                rest.setWidth(rest.width() - w->width());
                break;
            case alClient:
                w->setGeometry(rest);
                break;
            case alNone:
                break;
            }
            if (rest.width() < 0) rest.setWidth(0);
            if (rest.height() < 0) rest.setHeight(0);
        }
    }
    return rest;
}

bool TControl::DialogKey(int key) {
    for (TControl* control : controls_) {
        if (control->DialogKey(key)) return true;
    }
    return false;
}

namespace {

QMetaProperty PublishedProperty(const TComponent* instance, const QString& propName) {
    const QMetaObject* meta = instance->Object()->metaObject();
    const int index = meta->indexOfProperty(propName.toUtf8().constData());
    if (index < 0) throw EComponentError(QStringLiteral("Property %1 does not exist").arg(propName));
    return meta->property(index);
}

EComponentError KindError(const TComponent* instance, const QString& propName, const char* kind) {
    return EComponentError(QStringLiteral("Property %1 of %2 is not a writable %3")
                               .arg(propName, instance->ClassName(), QLatin1String(kind)));
}

} // namespace

bool IsPublishedProp(const TComponent* instance, const QString& propName) {
    return instance->Object()->metaObject()->indexOfProperty(propName.toUtf8().constData()) >= 0;
}

void SetStrProp(TComponent* instance, const QString& propName, const QString& value) {
    const QMetaProperty property = PublishedProperty(instance, propName);
    if (property.metaType() != QMetaType::fromType<QString>() || !property.isWritable())
        throw KindError(instance, propName, "text");
    if (!property.write(instance->Object(), value))
        throw EComponentError(QStringLiteral("Property %1 refused the value").arg(propName));
}

TStrings* GetStringsProp(const TComponent* instance, const QString& propName) {
    const QMetaProperty property = PublishedProperty(instance, propName);
    const bool pointer = property.metaType().flags().testFlag(QMetaType::PointerToQObject);
    auto* strings =
        pointer ? qobject_cast<TStrings*>(property.read(instance->Object()).value<QObject*>()) : nullptr;
    if (!strings) throw EComponentError(QStringLiteral("Property %1 holds no string list").arg(propName));
    return strings;
}

void SetStringsProp(TComponent* instance, const QString& propName, TStrings* value) {
    const QMetaProperty property = PublishedProperty(instance, propName);
    const QMetaObject* listClass = property.metaType().metaObject();
    if (!property.isWritable() || !listClass || !listClass->inherits(&TStrings::staticMetaObject))
        throw KindError(instance, propName, "string list");
    // Qt converts the pointer to the property's own list class, or refuses a list of another.
    if (!property.write(instance->Object(), QVariant::fromValue(value)))
        throw EComponentError(QStringLiteral("Property %1 refused the value").arg(propName));
}
