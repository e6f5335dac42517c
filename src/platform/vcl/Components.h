#pragma once

// The component model on Qt: components with exact class names, owners and names; controls with
// fonts, parents and alignment; string lists; published properties by name.
//
// A component is a Qt object of its own class, which declares Q_OBJECT, so that
// metaObject()->className() is the name of that class and never an ancestor's. Since one object
// cannot have two QObject bases, the component model is a second base beside the Qt class:
//
//     class TButton : public QPushButton, public TControl { Q_OBJECT ... };
//
// The owner (who destroys a component, and whose Components list it is in, in creation order) is
// kept apart from the visual parent (where a control is shown, and whose font it may follow).

#include <QObject>
#include <QRect>
#include <QString>

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <vector>

class QWidget;
class TComponent;

// The one error of the component model: a property that is not published, a list index out of
// range, a picture that cannot be read, a form style that cannot be had.
class EComponentError : public std::runtime_error {
public:
    explicit EComponentError(const QString& message) : std::runtime_error(message.toStdString()) {}
};

using TNotifyEvent = std::function<void(TComponent* sender)>;

// A list of texts, each with an object attached (or none). Controls hand out their lists (items,
// lines) as descendants bound to their widgets; TStringList keeps its own.
class TStrings : public QObject {
    Q_OBJECT
public:
    virtual int Count() const = 0;
    // Each throws EComponentError for an index out of range.
    QString Strings(int index) const;
    void SetStrings(int index, const QString& text);
    QObject* Objects(int index) const;
    void SetObjects(int index, QObject* object);
    void Delete(int index);

    int Add(const QString& text) { return AddObject(text, nullptr); }
    int AddObject(const QString& text, QObject* object);
    void Insert(int index, const QString& text) { InsertObject(index, text, nullptr); }
    void InsertObject(int index, const QString& text, QObject* object);
    virtual void Clear() = 0;
    // Makes this list a copy of source: its texts with their objects.
    virtual void Assign(const TStrings& source);

    // All entries, each followed by a line break; setting it splits at \r\n, \n or \r.
    QString Text() const;
    void SetText(const QString& text);

protected:
    // Indexes are checked before these are called.
    virtual QString Get(int index) const = 0;
    virtual QObject* GetObject(int index) const = 0;
    virtual void Put(int index, const QString& text) = 0;
    virtual void PutObject(int index, QObject* object) = 0;
    virtual void InsertItem(int index, const QString& text, QObject* object) = 0;
    virtual void DeleteItem(int index) = 0;

private:
    void CheckIndex(int index, int count) const;
};

class TStringList : public TStrings {
    Q_OBJECT
public:
    int Count() const override { return static_cast<int>(items_.size()); }
    void Clear() override { items_.clear(); }

protected:
    QString Get(int index) const override { return items_[static_cast<std::size_t>(index)].Text; }
    QObject* GetObject(int index) const override { return items_[static_cast<std::size_t>(index)].Object; }
    void Put(int index, const QString& text) override { items_[static_cast<std::size_t>(index)].Text = text; }
    void PutObject(int index, QObject* object) override {
        items_[static_cast<std::size_t>(index)].Object = object;
    }
    void InsertItem(int index, const QString& text, QObject* object) override;
    void DeleteItem(int index) override;

private:
    struct Item {
        QString Text;
        QObject* Object = nullptr;
    };
    std::vector<Item> items_;
};

// A control's font: character set (one byte, as the platform's fonts had it), face name and size
// in points. Writing the value it already holds changes nothing; a new value is announced through
// OnChange.
class TFont {
public:
    TFont() = default;
    TFont(const TFont&) = delete;
    TFont& operator=(const TFont&) = delete;

    std::uint8_t Charset() const { return charset_; }
    void SetCharset(std::uint8_t charset);
    QString Name() const { return name_; }
    void SetName(const QString& name);
    int Size() const { return size_; }
    void SetSize(int size);
    // Takes all of source's values, announcing one change at most.
    void Assign(const TFont& source);

    std::function<void()> OnChange;

private:
    void Changed();

    std::uint8_t charset_ = 1; // the platform's default character set
    QString name_ = QStringLiteral("MS Sans Serif");
    int size_ = 8;
};

class TComponent {
public:
    virtual ~TComponent();
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    // The Qt object this component is.
    QObject* Object() const { return self_; }
    // The name of the object's own class. Stand-ins in tests may claim another.
    virtual QString ClassName() const;

    QString Name() const { return self_->objectName(); }
    void SetName(const QString& name) { self_->setObjectName(name); }

    TComponent* Owner() const { return owner_; }
    // The components this one owns, in creation order; it destroys them when it is destroyed.
    int ComponentCount() const { return static_cast<int>(components_.size()); }
    TComponent* Components(int index) const; // throws EComponentError out of range

protected:
    // self is the component's Qt object; owner (may be null) takes it into its Components.
    TComponent(QObject* self, TComponent* owner);

private:
    QObject* self_;
    TComponent* owner_;
    std::vector<TComponent*> components_;
};

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

class TControl : public TComponent {
public:
    ~TControl() override;

    QWidget* Widget() const { return widget_; }

    // The control this one is shown on. Changing it moves the widget; a parent-font control takes
    // the new parent's font.
    TControl* Parent() const { return parent_; }
    void SetParent(TControl* parent);
    // The controls shown on this one, in the order they were put there.
    int ControlCount() const { return static_cast<int>(controls_.size()); }
    TControl* Controls(int index) const; // throws EComponentError out of range

    // While ParentFont is true the control's font follows its parent's. Any change written to the
    // font itself makes it the control's own font, and ParentFont becomes false.
    TFont* Font() { return &font_; }
    bool ParentFont() const { return parentFont_; }
    void SetParentFont(bool parentFont);

    // Controls that show a text override these; others just keep it.
    virtual QString Caption() const { return caption_; }
    virtual void SetCaption(const QString& caption) { caption_ = caption; }
    QString Hint() const;
    void SetHint(const QString& hint);

    // Aligned controls are laid out by their parent, in the order top, bottom, left, right, client.
    TAlign Align() const { return align_; }
    void SetAlign(TAlign align);
    int Left() const;
    int Top() const;
    int Width() const;
    int Height() const;
    void SetBounds(int left, int top, int width, int height);

protected:
    // Shown on the owner when the owner is a control, as a designer drops it there.
    TControl(QWidget* self, TComponent* owner);
    TControl(QWidget* self, TComponent* owner, TControl* parent);

    // Places the aligned controls in the client area and returns what is left of it. Containers
    // call it when they are resized.
    virtual QRect AlignControls();
    // Called after the font has been given to the widget (labels fit themselves to it).
    virtual void FontApplied() {}
    // A key pressed on a form that nothing on it took, offered to every control on it: a Default
    // button takes Enter.
    virtual bool DialogKey(int key);

private:
    void FontChanged();
    void ApplyFont();
    void FollowParentFont();

    QWidget* widget_;
    TControl* parent_ = nullptr;
    std::vector<TControl*> controls_;
    TFont font_;
    bool parentFont_ = true;
    bool followingParent_ = false;
    TAlign align_ = alNone;
    QString caption_;
};

// Published properties (Q_PROPERTY) by name, as the form translator writes texts and lists. Each
// throws EComponentError when the component publishes no property of that name and kind.
bool IsPublishedProp(const TComponent* instance, const QString& propName);
void SetStrProp(TComponent* instance, const QString& propName, const QString& value);
TStrings* GetStringsProp(const TComponent* instance, const QString& propName);
// The property's own setter takes the list; controls copy it into theirs.
void SetStringsProp(TComponent* instance, const QString& propName, TStrings* value);
