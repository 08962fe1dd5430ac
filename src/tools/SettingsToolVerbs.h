#pragma once

// The verbs of tevo-settings as data: operand counts, the options each takes, the line of the
// general usage and the verb's own --help.

#include <QString>
#include <QStringList>

#include <optional>
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

// A verb as given: its operands (without the verb) and the options that came with it, already
// checked against the verb's counts and options.
struct Invocation
{
    QStringList operands;
    std::optional<QString> section;
    std::optional<QString> output;
    QStringList maps;
    bool dryRun = false;
};

// Carries out a verb; returns the exit status of tevo-settings.
using VerbHandler = int (*)(const Invocation& invocation);

struct Verb
{
    const char* name;
    qsizetype fewest;
    qsizetype most;
    unsigned options;
    const char* synopsis;
    const char* summary;
    const char* help;
    VerbHandler run;     // on the user's store
    VerbHandler runWine; // on the Wine registry (--wine); null when kWine is not in options
};

// The handlers of the table's rows: on the user's store (SettingsTool.cpp) and on the Wine
// registry (SettingsToolWine.cpp).
int runGet(const Invocation& invocation);
int runSet(const Invocation& invocation);
int runDelete(const Invocation& invocation);
int runList(const Invocation& invocation);
int runExport(const Invocation& invocation);
int runImport(const Invocation& invocation);
int runMove(const Invocation& invocation);
int runWineGet(const Invocation& invocation);
int runWineSet(const Invocation& invocation);
int runWineList(const Invocation& invocation);
int runWineExport(const Invocation& invocation);

std::span<const Verb> settingsToolVerbs();
const Verb* findVerb(const QString& name);
// The general usage: every verb's synopsis and summary, the shared rules, the store's path.
QString usage();
// One verb's --help.
QString verbHelp(const Verb& verb);

} // namespace tevo
