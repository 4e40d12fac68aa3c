#pragma once

#include <QString>
#include <QStringList>

// What the user is told when many files are added to a project at once.
namespace addfilemessages {

// The paths one per line for a message, the first `shown` of them, then how many more there are.
QString listForMessage(const QStringList &paths, int shown = 20);

// What the user is told of the files a full project refused.
QString notAddedMessage(const QStringList &paths);
// The question asked once for the files being added whose names are taken.
QString sameNamesQuestion(const QStringList &paths);

} // namespace addfilemessages
