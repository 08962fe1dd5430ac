#pragma once

// The verbs of tevo-settings as data: operand counts, the options each takes, the line of the
// general usage and the verb's own --help.

#include <QString>

#include <span>

namespace tevo {

enum Option : unsigned
{
    kSection = 1,
    kOutput = 2,
    kMap = 4,
    kDryRun = 8,
    kWine = 16
};

struct Verb
{
    const char* name;
    qsizetype fewest;
    qsizetype most;
    unsigned options;
    const char* synopsis;
    const char* summary;
    const char* help;
};

std::span<const Verb> settingsToolVerbs();
const Verb* findVerb(const QString& name);
// The general usage: every verb's synopsis and summary, the shared rules, the store's path.
QString usage();
// One verb's --help.
QString verbHelp(const Verb& verb);

} // namespace tevo
