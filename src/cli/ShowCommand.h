// show FILE [--as iud|csv|txt|all] [--raw]: a dictionary as the editor opens it.
#pragma once

#include "cli/Session.h"

#include <QByteArray>

#include <string>
#include <vector>

namespace vexlon::cli {

// args: the words after the command's name; returns the exit status.
int runShow(Session& session, const std::vector<std::string>& args);

// Shared by the commands that open a dictionary as `show` does.
struct OpenRequest {
    std::string path;
    std::string as; // iud, csv, txt, all or empty (by extension)
    bool raw = false;
};
// Opens the file into the session's table; false after printing why.
bool openAsShow(Session& session, const OpenRequest& request);

// One tab-separated output field as UTF-8: a backslash doubled, tab, line
// feed and carriage return as \t, \n and \r, every other control character
// (U+0000 to U+001F, U+007F to U+009F) as \xHH, and a kept code (a phone
// code that stands for no character) as \k and its byte, so that no field
// can split a line or a column and every field reads back exactly.
std::string outputField(const QString& text);
// The same for 8-bit text of the code page.
std::string outputField(const QByteArray& ansiText);

} // namespace vexlon::cli
