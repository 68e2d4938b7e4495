#pragma once
// The command-line answers of the player that open no window: --version and --self-check.
#include <QStringList>
#include <optional>

namespace sonavue {

// When arguments ask for one of these answers, prints it to standard output and returns
// the exit status; nullopt for a normal start. The program folder and the media framework
// are looked at only by --self-check.
std::optional<int> answerWithoutWindows(const QStringList& arguments, const QString& version);

} // namespace sonavue
