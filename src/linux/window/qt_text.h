#pragma once

#include <QObject>
#include <QString>
#include <string>
#include <string_view>

namespace tav {

// How the core's byte texts meet Qt's strings. File names on Linux are bytes in no promised
// encoding: names copied from old Japanese disks are CP932. What a control shows is only a
// picture of those bytes; what the core reads back must be the bytes themselves.

// A readable picture of the bytes, '/'-separated part by part: UTF-8 (the system encoding)
// where the part is valid UTF-8, else CP932 where the part is valid CP932, else UTF-8 with
// every byte that is not part of a valid sequence shown as \xHH.
QString DisplayText(std::string_view bytes);

// Keeps the bytes the program wrote into a widget beside the string the widget shows for them
// (read back from the widget, so its own normalising, CR to LF for instance, is included).
void KeepBytes(QObject& widget, const std::string& bytes, const QString& shown);
// The kept bytes while the widget still shows what was written; once the user has changed
// the text, what it shows now, as UTF-8.
std::string KeptBytes(const QObject& widget, const QString& shownNow);

}  // namespace tav
