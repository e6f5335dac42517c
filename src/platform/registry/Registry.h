#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>

namespace registry {

enum class RootKey : std::uint8_t { ClassesRoot, CurrentUser, LocalMachine };

// The view of a 64-bit machine's registry a key is opened in. This process is native, so its
// default view is the 64-bit one; the 32-bit view is what a 32-bit program sees.
enum class KeyView : std::uint8_t { Default, Registry32, Registry64 };

// Value types by their numbers in the registry; a value may carry any other number.
enum class ValueType : std::uint32_t {
    None = 0,
    String = 1,
    ExpandString = 2,
    Binary = 3,
    DWord = 4,
    DWordBigEndian = 5,
    Link = 6,
    MultiString = 7,
    ResourceList = 8,
    FullResourceDescriptor = 9,
    ResourceRequirementsList = 10,
    QWord = 11,
};

// A value's type and its data as the registry holds them: texts in UTF-16LE with their closing NUL,
// numbers little-endian.
struct Value {
    ValueType Type = ValueType::None;
    QByteArray Data;

    friend bool operator==(const Value&, const Value&) = default;
};

// The text of a string or expandable string value up to its first NUL, unexpanded; nullopt for
// any other type.
std::optional<QString> ValueText(const Value& value);

// An open key. Destroying it closes it.
class Key {
public:
    virtual ~Key() = default;
    // The named value, compared without regard to letter case; an empty name or "@" is the key's
    // default value. nullopt when the key has no such value.
    virtual std::optional<Value> ReadValue(const QString& name) const = 0;
};

// A registry that is only read: nothing is ever written and no key is created.
class Registry {
public:
    virtual ~Registry() = default;
    // Opens an existing key for reading. The path names a key below the root, its parts separated
    // by backslashes (one trailing backslash allowed); an empty path is the root itself. nullptr
    // when the key does not open.
    virtual std::unique_ptr<Key> OpenKey(RootKey root, const QString& path,
                                         KeyView view = KeyView::Default) const = 0;
};

// The registry kept in two .reg files: the machine file holds HKEY_LOCAL_MACHINE, with
// HKEY_CLASSES_ROOT as its SOFTWARE\Classes; the user file holds HKEY_CURRENT_USER. HKEY_CLASSES_ROOT
// reads a value from the user's Software\Classes first and from the machine's next. A missing or
// unreadable file is an empty hive. Files are read when a key is first looked for and again once
// they change; lookups stream the file, so memory stays bounded however large it is.
class FileRegistry final : public Registry {
public:
    // The files MachineHiveFile() and UserHiveFile() name, looked up afresh at each use.
    FileRegistry();
    FileRegistry(const QString& machineFile, const QString& userFile);
    ~FileRegistry() override;

    std::unique_ptr<Key> OpenKey(RootKey root, const QString& path,
                                 KeyView view = KeyView::Default) const override;

    class Hive;

private:
    std::shared_ptr<Hive> Machine;
    std::shared_ptr<Hive> User;
};

// ORVANE_MACHINE_REG, else /etc/orvane/machine.reg.
QString MachineHiveFile();
// ORVANE_USER_REG, else orvane/user.reg in ${XDG_CONFIG_HOME:-~/.config}.
QString UserHiveFile();

// The registry the program reads: a FileRegistry on the files above.
const Registry& SystemRegistry();

} // namespace registry
