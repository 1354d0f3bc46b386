#pragma once

#include <QString>
#include <QTime>

// How the generator prints values into passports, text headers and the
// records a reader would fill from them; shared by the binary and text forms.

// The shortest decimal that reads back as the same double.
QString synthNumberText(double value);
// A line break inside a value would start a new passport or header line.
QString synthOneLine(QString value);
// "hh:mm:ss", with ".zzz" only when there are milliseconds.
QString synthTimeText(const QTime &time);
// "AA B C" N4 position code to its index 1..20, 0 when it is not one.
int synthPositionIndex(const QString &code);
// The source line an N4 passport carries for a position code.
QString synthN4SourceText(const QString &code);
