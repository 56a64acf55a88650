// `mekuri export --format pdf`: the same pages as the window prints, drawn without an X
// server, with the editor's font and the holiday lists the window would read.
#include "cli/command_export.h"
#include "window/form1.h"
#include "window/print_pages.h"
#include "window/window_places.h"
#include "window/shipped_lists.h"

#include "calendar/holiday_rules.h"
#include "diary/diary_export.h"
#include "platform/qt_fonts.h"
#include "settings/ini_store.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <cstdio>

namespace {

// The folder the window keeps "Mekuri.ini" in.
std::string WindowSettingsFolder() {
    return ChoosePlaces(WindowPlacesInput()).settingsDir;
}

// Qt's own notices go to standard error like the command's messages; the one about a
// missing runtime folder, which the offscreen platform never uses, would only confuse a
// script reading them.
void CommandMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR"))) return;
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

}  // namespace

std::string ExportPdfForCommand(const TPdfExportRequest& request, std::vector<TYMD>& brokenDays) {
    // Pages are drawn off screen: no display is needed, nor looked for.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(CommandMessages);
    int argc = 1;
    char name[] = "mekuri";
    char* argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);
    app.setApplicationName("Mekuri");
    InstallFaceSubstitutions();

    TIniStore ini;
    ini.SetApplicationDir(WindowSettingsFolder());
    ini.SetDefaultDir(ddApplication);
    ini.SetFileName("Mekuri.ini");
    ini.SetFence(fnParenthesis);
    TStringList holidays = ShippedHolidayList();
    TStringList specialDays = ShippedSpecialDayList();
    TFont font = InitialEditorFont();
    bool kokumin = true;
    ini.Batch([&] {
        ini.ReadStrings("Weekly", "WHol", holidays);
        UpgradeShippedHolidayList(holidays);
        ini.ReadStrings("Weekly", "WSpe", specialDays);
        kokumin = ini.ReadInteger("Weekly", "WKokumin", 1) != 0;
        ini.ReadFont("Editor", "FEd", font);
    });
    THolidayRules rules(holidays, specialDays);
    rules.SetAutoKokumin(kokumin);

    std::vector<TPrintDay> days;
    const std::string error = ForEachEntry(request.folder, request.days, [&](const TYMD& day, std::string_view sjis, const TExtraChars& extra) {
        days.push_back({PrintDayHeader(day, rules.GetHolidayNames(day.Year, day.Month, day.Day)), DayTextLines(sjis),
                        extra.Empty() ? nullptr : std::make_shared<TExtraChars>(extra)});
        if (HoldsBrokenSjis(sjis, extra)) brokenDays.push_back(day);
        return true;
    });
    if (!error.empty()) return error;
    return WritePrintPdf(request.output, days, PrinterFont(font));
}
