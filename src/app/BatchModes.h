#pragma once

#include <QString>
#include <QStringList>

// The program's modes without a window, in one table: the dispatch, the usage text and the check
// of options the program does not know all read it.
namespace BatchModes {

struct Mode {
    const char *option;    // "--pdf"
    const char *kind;      // "illuminance", or nullptr for an option that takes no kind
    const char *arguments; // "INPUT.syw OUTPUT.pdf": inputs, then the output
    bool drawn;            // drawn with the Japanese report font (a PDF)
    bool manyInputs;       // several inputs taken as one (a building of several work files)
    // An exit status of BatchStatus; *error says why when it is not 0; *said what was done (for
    // standard output).
    int (*run)(const QStringList &inputs, const QString &output, QString *error, QStringList *warnings, QStringList *said);
};

// The mode the option (and its kind) name; nullptr for none.
const Mode *find(const QString &option, const QString &kind);
// True when `option` starts a mode of the table.
bool isModeOption(const QString &option);
// "使い方: ..." with every mode, --help and --version, and the exit statuses.
QString usage();
// The arguments of a start with a window: Qt's own documented options (with their values) and at
// most one work file to open; any other argument beginning with "-" is an error (*error says which).
bool windowArguments(const QStringList &args, QString *file, QString *error);

} // namespace BatchModes
