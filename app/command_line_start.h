// The command line at start-up and the hand-over between starts in one desktop session.
#pragma once

#include "core/command_line.h"

#include <QStringList>
#include <QVariantMap>

namespace quelvex {

class Program;

// Answers what needs no window: errors (status 2; also an --action this computer does not allow,
// which asks logind for a few seconds at most), --help and --version, and a hand-over to the
// program already running in this session (then 0; --stop with nobody to stop gives 1). Returns
// -1 when this start goes on to open its own window, with `request` filled in. Runs before the
// display is opened.
int answerCommandLine(const QStringList& arguments, CommandRequest& request);

// A command line handed over by a later start: carried out on the window, which then comes to
// the front unless all it asked was to stop.
void receiveCommandLine(Program& program, const CommandRequest& request, const QVariantMap& platformData);

} // namespace quelvex
