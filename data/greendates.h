#pragma once

#include "data/dayplot.h"

#include <QByteArray>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVector>

// The green dates of a multi-day directory: the days the user keeps, stored
// in a small text file among the observations ("<date> 1" a line), and the
// copying of their observation files into a sibling directory. Plain
// functions on paths and lists; every message they have for the user comes
// back as a value for the caller to show.

// What a green-dates action tells the user: `text` under `title`, in an
// information, warning or question box, as rich text when richText is set.
struct GreenDatesReport
{
    enum class Kind { Information, Warning, Question };
    Kind kind = Kind::Information;
    bool ok = false;   // the action did what was asked
    QString title;
    QString text;
    bool richText = false;
};

QString greenDatesFileName();
QString greenDatesPath(const QString &dir);

// The dates a green-dates text marks green. Each line is simplified and split
// at blanks: one token marks that date green; with more, the date is green
// when the second token reads as the integer 1; empty lines and lines that
// are not green are ignored.
QSet<QString> parseGreenDates(const QString &text);
// The green dates saved in the directory; empty when there is no readable file.
QSet<QString> readGreenDates(const QString &dir);
// The file's content: "<date> 1" and a line feed for each date, sorted without
// regard to case.
QByteArray greenDatesFileText(const QSet<QString> &dates);

// Days whose date is green, counted, and their files' paths in day order.
int greenDayCount(const QVector<DayPlot> &days, const QSet<QString> &green);
QStringList greenDayFiles(const QVector<DayPlot> &days, const QSet<QString> &green);

// Saves the green dates into the directory's file, through an atomic save
// that never leaves a partly written file. When no loaded day is green it
// writes nothing and returns the Question whether to clear the saved list;
// on the answer Yes the caller goes on with clearSavedGreenDates.
GreenDatesReport saveGreenDates(const QString &dir, const QSet<QString> &green, const QVector<DayPlot> &days);
// Deletes the directory's green-dates file, if any.
GreenDatesReport clearSavedGreenDates(const QString &dir);

// Copies the files into the sibling directory "<name of dir>_green", after
// moving an existing one aside under its modification time stamp ("_2",
// "_3" ... when that name is taken too). Files already copied stay when a
// later one fails; a failed copy leaves no partial file.
GreenDatesReport writeGreenFiles(const QString &dir, const QStringList &files);
