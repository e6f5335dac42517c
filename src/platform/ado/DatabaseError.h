#pragma once

#include <QString>

#include <stdexcept>

namespace ado {

// Every failure of the data-access layer: opening, parsing a statement, reading a value.
class DatabaseError : public std::runtime_error {
public:
    explicit DatabaseError(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& Message() const { return message_; }

private:
    QString message_;
};

} // namespace ado
