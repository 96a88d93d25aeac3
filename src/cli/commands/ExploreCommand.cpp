// ambrolux-cli explore: the Explore window without a desktop. The options
// mirror the window's inputs; each chosen page prints as an aligned table, and
// "output" prints the report of the Output page.
#include <cctype>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "../CliCommand.h"
#include "../DataInput.h"
#include "../ResultOutput.h"
#include "../ArgumentText.h"
#include "CliMessages.h"
#include "explore/Explore.h"
#include "report/ReportWriters.h"
#include "session/Session.h"
#include "worksheet/DataFile.h"
#include "worksheet/DataList.h"

namespace amx::cli {
namespace {

// Page names for --pages and --sections.
int FindPage(const std::string& text) {
    static const char* names[][2] = {{"descriptives", "d"}, {"quartiles", "q"}, {"normality", "n"},
                                     {"ci", "conf"},        {"nattol", "nt"},   {"custom", "c"}};
    const std::string t = Lower(text);
    for (int i = 0; i < ExplorePageCount; ++i)
        if (t == names[i][0] || t == names[i][1]) return i;
    if (t == "output") return ExplorePageCount;
    return -1;
}

int Usage(const std::string& problem) { return UsageError("explore", problem); }

const char* PageName(int page) {
    static const char* names[] = {"descriptives", "quartiles", "normality", "ci", "nattol", "custom"};
    return names[page];
}

struct ExploreOptions {
    ExploreRequest rq;
    DataSource source;
    std::string columnsText, measureText, referenceText, customText, pagesText, sectionsText, rtfPath;
    int decimals = 2;
    OutputOptions output;
};

int RunExplore(ExploreOptions o) {
    ExploreRequest& rq = o.rq;
    rq.decimals = o.decimals;
    const std::string &file = o.source.file, &columnsText = o.columnsText, &measureText = o.measureText,
                      &referenceText = o.referenceText, &customText = o.customText, &pagesText = o.pagesText,
                      &sectionsText = o.sectionsText, &rtfPath = o.rtfPath;
    if (!columnsText.empty() && (!measureText.empty() || !referenceText.empty()))
        return Usage("Give either --columns or --measure with --reference");
    if (measureText.empty() != referenceText.empty())
        return Usage("--measure and --reference go together");

    if (!customText.empty()) {
        if (Lower(customText) == "all") {
            for (int k = 0; k < CustomStatCount; ++k) rq.custom.push_back(k);
        } else {
            for (const auto& item : SplitList(customText)) {
                int k = FindCustomStat(item);
                if (k < 0) return Usage("Unknown custom statistic: " + item);
                rq.custom.push_back(k);
            }
        }
    }
    std::vector<int> pages;
    if (pagesText.empty()) {
        for (int p = 0; p < ExplorePageCount - 1; ++p) pages.push_back(p);
        if (!rq.custom.empty()) pages.push_back(static_cast<int>(ExplorePage::Custom));
    } else {
        for (const auto& item : SplitList(pagesText)) {
            int p = FindPage(item);
            if (p < 0) return Usage("Unknown page: " + item);
            pages.push_back(p);
        }
    }
    if (!sectionsText.empty()) {
        rq.outputSections.fill(false);
        for (const auto& item : SplitList(sectionsText)) {
            int p = FindPage(item);
            if (p < 0 || p >= ExplorePageCount) return Usage("Unknown section: " + item);
            rq.outputSections[static_cast<size_t>(p)] = true;
        }
    }

    Session s;
    StderrMessages messages;
    s.messages = &messages;
    if (!LoadDataFile(s, o.source)) return 1;

    if (!columnsText.empty()) {
        rq.mode = ExploreMode::Columns;
        for (const auto& item : SplitList(columnsText)) {
            int c = FindColumn(s, item);
            if (c == 0) return Usage("No such column: " + item);
            rq.columns.push_back(c);
        }
    } else if (!measureText.empty()) {
        rq.mode = ExploreMode::Reference;
        rq.measure = FindColumn(s, measureText);
        if (rq.measure == 0) return Usage("No such column: " + measureText);
        for (const auto& item : SplitList(referenceText)) {
            int c = FindColumn(s, item);
            if (c == 0) return Usage("No such column: " + item);
            rq.references.push_back(c);
        }
    } else if (MaxCol(s) == 1) {
        rq.mode = ExploreMode::SingleColumn;
    } else {
        return Usage("Choose --columns, or --measure with --reference");
    }

    int tablePages = 0;
    for (int p : pages) tablePages += p != ExplorePageCount;
    ResultOutput out("explore", o.output);
    if (out.Csv() && tablePages != 1)
        return Usage("--format csv writes one table: choose one result page with --pages");
    out.SetSource(s, file);

    ExploreState st;
    bool reportWanted = !rtfPath.empty();
    for (int p : pages) {
        if (p == ExplorePageCount) {
            reportWanted = true;
            continue;
        }
        if (p == static_cast<int>(ExplorePage::Custom) && rq.custom.empty())
            return Usage("The custom page needs --custom");
        ExploreGrid g = ComputeExplorePage(s, st, rq, static_cast<ExplorePage>(p));
        if (s.StatErrorCode != 0 || messages.errors > 0) {
            if (messages.errors == 0) std::fputs("Nothing selected to analyse.\n", stderr);
            return 1;
        }
        out.Table(PageName(p), g);
    }
    if (reportWanted) {
        ReportDocument pane;
        WriteExploreReport(s, st, rq, pane);
        if (s.StatErrorCode != 0 || messages.errors > 0) return 1;
        bool printReport = false;
        for (int p : pages) printReport = printReport || p == ExplorePageCount;
        if (printReport) out.Report(pane);
        if (!rtfPath.empty() && !SaveReport(pane, rtfPath)) {
            std::fprintf(stderr, "File Error!\n");
            return 1;
        }
    }
    return out.Finish();
}

const CliCommandRegistration kExplore{
    "explore", "descriptives, quartiles, normality tests, intervals and custom statistics", [](CLI::App& app) {
        auto o = std::make_shared<ExploreOptions>();
        app.description("The Explore window without a desktop: each chosen page prints as a table, and 'output'\n"
                        "prints the report of the Output page.");
        AddDataFileArgument(app, o->source);
        const char* what = "What to analyse (a one-column file needs neither)";
        app.add_option("--columns", o->columnsText,
                       "columns to analyse, each on its own (names or numbers, comma-separated)")
            ->type_name("LIST")
            ->group(what);
        app.add_option("--measure", o->measureText, "the measured column, split by ...")->type_name("COL")->group(what);
        app.add_option("--reference", o->referenceText, "... the runs of these reference columns")
            ->type_name("LIST")
            ->group(what);
        const char* settings = "Settings";
        app.add_option("--conf", o->rq.confText, "confidence level in percent (default 95)")
            ->type_name("PCT")
            ->group(settings);
        app.add_option("--decimals", o->decimals, "decimals of the values, 0-9 (default 2)")
            ->type_name("D")
            ->check(CLI::Range(0, 9))
            ->group(settings);
        app.add_flag("--pool", o->rq.pool, "pooled standard deviation on the ci page")->group(settings);
        app.add_flag("--pool-nt", o->rq.poolNT, "pooled standard deviation on the nattol page")->group(settings);
        app.add_option("--custom", o->customText, "custom statistics by name or number 0-81, or 'all'")
            ->type_name("LIST")
            ->group(settings);
        const char* output = "Output";
        app.add_option("--pages,--page", o->pagesText,
                       "any of descriptives, quartiles, normality, ci, nattol, custom, output (default: every "
                       "result page; custom when --custom is given). 'output' prints the report.")
            ->type_name("LIST")
            ->group(output);
        app.add_option("--sections", o->sectionsText,
                       "report sections (default all): descriptives, quartiles, normality, ci, nattol, custom")
            ->type_name("LIST")
            ->group(output);
        app.add_option("--title", o->rq.title, "report title")->type_name("TEXT")->group(output);
        app.add_option("--rtf", o->rtfPath, "also save the report (rich text for .rtf, else text)")
            ->type_name("PATH")
            ->group(output);
        AddFormatOption(app, o->output, true);
        app.footer(
            "The simulated exponential test (custom statistic AMX(E)) draws a million samples per row; results\n"
            "are reused for equal sample size and statistic.\n"
            "\n"
            "Exit status: 0 on success, 1 when the program reported an error, 2 on bad usage.");
        return [o] { return RunExplore(*o); };
    }};

}  // namespace
}  // namespace amx::cli
