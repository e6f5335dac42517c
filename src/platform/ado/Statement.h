#pragma once

#include <QString>

#include <cstdint>
#include <optional>
#include <variant>
#include <vector>

namespace ado {

// A literal in a where clause: a decimal integer or a text.
using Literal = std::variant<std::int64_t, QString>;

// The statements the system issues:
//   select <column> [, <column>]... from <table> [where <column> = <literal> [and ...]]
//   select count(*) [as <alias>] from <table>
struct Statement {
    enum class Kind { Select, Count };
    Kind kind = Kind::Select;
    std::vector<QString> columns; // Select: in order, repeats allowed
    QString countAlias;           // Count: the alias, or "Expr1000" as Access names it
    QString table;
    struct Condition {
        QString column;
        Literal value;
    };
    std::vector<Condition> where; // all must hold; empty: every row
};

// Parses one statement. Keywords and identifiers without regard to letter case; identifiers may be
// written bare (a letter or '_', then letters, digits, marks, '_') or in [brackets], which they need
// when they are SELECT, FROM, WHERE, AS or AND; integers fit 64 bits; text literals between single quotes
// with '' for one quote; no parameter markers (a colon is plain text); one trailing ';' allowed.
// Throws DatabaseError naming what is wrong and where: positions are UTF-16 offsets from 0.
Statement ParseStatement(const QString& text);

} // namespace ado
