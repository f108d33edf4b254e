// vexlon-mkdata: run by the build to turn the readable sources of the data
// folder into the files the program reads beside its executable.
//
//   vexlon-mkdata langstruct <languages.txt> <iTAP_Lang_structure.dat>
//   vexlon-mkdata packs <source folder> <Languages folder>
//   vexlon-mkdata text <UTF-8 source> <output>
//   vexlon-mkdata lists <Lists folder>
//   vexlon-mkdata trailer <phConfig.cfg>
//   vexlon-mkdata sample <words.txt> <iTAP_Lang_structure.dat> <phConfig.cfg> <sample.iud>
#include "MkData.h"

#include "core/base/TextFile.h"
#include "core/dictionary/LangStructure.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStringList>
#include <cstdio>

namespace {

using namespace vexlon;
using namespace vexlon::mkdata;

int usage()
{
    std::fputs("usage: vexlon-mkdata langstruct SOURCE OUTPUT\n"
               "       vexlon-mkdata packs SOURCE_DIR OUTPUT_DIR\n"
               "       vexlon-mkdata text SOURCE OUTPUT\n"
               "       vexlon-mkdata lists OUTPUT_DIR\n"
               "       vexlon-mkdata trailer OUTPUT\n"
               "       vexlon-mkdata sample SOURCE LANG_STRUCTURE TRAILER OUTPUT\n",
               stderr);
    return 2;
}

QString name(const QString& path)
{
    return QFileInfo(path).fileName();
}

int run(const QStringList& args)
{
    if (args.isEmpty())
        return usage();
    const QString& command = args.at(0);
    const auto argc = args.size();

    if (command == QLatin1String("langstruct") && argc == 3) {
        const QVector<LanguageDef> languages = parseLanguageSource(readSourceLines(args.at(1)), name(args.at(1)));
        writeOutput(args.at(2), buildLangStructure(languages));
    } else if (command == QLatin1String("packs") && argc == 3) {
        buildLanguagePacks(args.at(1), args.at(2));
    } else if (command == QLatin1String("text") && argc == 3) {
        writeOutput(args.at(2), toAnsiCrLf(readSourceLines(args.at(1)), name(args.at(1))));
    } else if (command == QLatin1String("lists") && argc == 2) {
        writeEmptyLists(args.at(1));
    } else if (command == QLatin1String("trailer") && argc == 2) {
        writeOutput(args.at(1), initialTrailer());
    } else if (command == QLatin1String("sample") && argc == 5) {
        TiTAPStructure structure;
        if (!LoadLangStructure(args.at(2), structure))
            throw VexlonError(QStringLiteral("%1 is not a language structure file.").arg(args.at(2)));
        const QVector<DictRow> rows = sampleRows(parseSampleSource(readSourceLines(args.at(1)), name(args.at(1))),
                                                 structure, name(args.at(1)));
        const QByteArray trailer = readWholeFile(args.at(3));
        writeOutput(args.at(4), buildSampleDictionary(rows, structure, trailer));
    } else {
        return usage();
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    try {
        return run(args);
    } catch (const VexlonError& e) {
        std::fprintf(stderr, "vexlon-mkdata: %s\n", e.what());
        return 1;
    }
}
