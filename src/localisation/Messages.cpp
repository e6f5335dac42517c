#include "localisation/Messages.h"

#include "localisation/Languages.h"

QString GetMessageString(std::uint32_t stringId) {
    const QString column = LanguageSettings.LanguageColumn;
    // The language index, not the column, decides whether English is read as well: with the
    // column at ENGLISH_US the statement names it twice and reads the first.
    const bool english = LanguageSettings.LanguageIndex == 3;
    const QString columns = english ? column : column + QStringLiteral(", ENGLISH_US");
    QString text;
    ReadLanguageDatabase(QStringLiteral("select ") + columns +
                             QStringLiteral(" from MessageStrings where StringID=") +
                             QString::number(stringId),
                         [&](ado::Query& query) {
                             if (query.RecordCount() <= 0) return;
                             text = query.FieldByName(column).AsString();
                             if (!english && text.isEmpty())
                                 text = query.FieldByName(QStringLiteral("ENGLISH_US")).AsString();
                         });
    return text;
}
