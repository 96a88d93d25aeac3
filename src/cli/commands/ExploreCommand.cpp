// ambrolux-cli explore: the Explore window without a desktop. The options
// mirror the window's inputs; each chosen page prints as an aligned table, and
// "output" prints the report of the Output page.
#include <cctype>
#include <cstdio>
#include <string>
#include <vector>

#include "../CliCommand.h"
#include "CliMessages.h"
#include "../GlobalOptions.h"
#include "explore/Explore.h"
#include "report/ReportWriters.h"
#include "session/Session.h"
#include "worksheet/DataFile.h"
#include "worksheet/DataList.h"

namespace amx::cli {
namespace {

std::string Lower(std::string t) {
    for (char& c : t) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return t;
}

std::vector<std::string> SplitList(const std::string& text) {
    std::vector<std::string> items;
    std::string cur;
    for (char c : text) {
        if (c == ',') {
            items.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    items.push_back(cur);
    for (auto& i : items) {
        while (!i.empty() && i.front() == ' ') i.erase(i.begin());
        while (!i.empty() && i.back() == ' ') i.pop_back();
    }
    return items;
}

// A column by its name (any letter case) or its number; 0 when none.
int FindColumn(const Session& s, const std::string& text) {
    if (!text.empty() && text.find_first_not_of("0123456789") == std::string::npos && text.size() <= 4) {
        int c = std::stoi(text);
        return c >= 1 && c <= MaxCol(s) ? c : 0;
    }
    for (int c = 1; c <= MaxCol(s); ++c)
        if (Lower(ColumnName(s, c)) == Lower(text)) return c;
    return 0;
}

int Usage(const std::string& problem) {
    std::fprintf(stderr, "%s\nRun 'ambrolux-cli explore --help' for the options.\n", problem.c_str());
    return 2;
}

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

void PrintGrid(const ExploreGrid& g, bool tabs) {
    std::printf("%s\n", g.caption.c_str());
    if (tabs) {
        std::string text = ExploreGridText(g);
        std::string out;
        for (char c : text)
            if (c != '\r') out += c;
        std::fputs(out.c_str(), stdout);
    } else {
        for (const auto& line : ExploreGridLines(g)) std::printf("%s\n", line.c_str());
    }
    std::printf("\n");
}

int RunExplore(const std::vector<std::string>& args) {
    ExploreRequest rq;
    std::string file, columnsText, measureText, referenceText, customText, pagesText, sectionsText, rtfPath;
    bool tabs = false;
    for (size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i], value;
        if (name.rfind("--", 0) != 0 || name == "--") {
            if (!file.empty()) return Usage("Unexpected argument: " + args[i]);
            file = name;
            continue;
        }
        bool inlineValue = false;
        if (auto eq = name.find('='); eq != std::string::npos) {
            value = name.substr(eq + 1);
            name = name.substr(0, eq);
            inlineValue = true;
        }
        if (name == "--pool") { rq.pool = true; continue; }
        if (name == "--pool-nt") { rq.poolNT = true; continue; }
        if (name == "--tabs") { tabs = true; continue; }
        if (!inlineValue) {
            if (i + 1 >= args.size()) return Usage("Missing value for " + name);
            value = args[++i];
        }
        if (name == "--columns") columnsText = value;
        else if (name == "--measure") measureText = value;
        else if (name == "--reference") referenceText = value;
        else if (name == "--conf") rq.confText = value;
        else if (name == "--decimals") {
            if (value.empty() || value.size() > 1 || !std::isdigit(static_cast<unsigned char>(value[0])))
                return Usage("--decimals takes a whole number from 0 to 9");
            rq.decimals = value[0] - '0';
        } else if (name == "--custom") customText = value;
        else if (name == "--pages") pagesText = value;
        else if (name == "--sections") sectionsText = value;
        else if (name == "--title") rq.title = value;
        else if (name == "--rtf") rtfPath = value;
        else return Usage("Unknown option: " + name);
    }
    if (file.empty()) return Usage("No data file given");
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
    if (!FileToDataGrid(s, file)) return 1;
    if (!ApplyGlobalOptions(s)) return 1;

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
        PrintGrid(g, tabs);
    }
    if (reportWanted) {
        ReportDocument pane;
        WriteExploreReport(s, st, rq, pane);
        if (s.StatErrorCode != 0 || messages.errors > 0) return 1;
        bool printReport = false;
        for (int p : pages) printReport = printReport || p == ExplorePageCount;
        if (printReport)
            for (const Paragraph& line : pane.Lines()) std::printf("%s\n", line.Text().c_str());
        if (!rtfPath.empty() && !SaveReport(pane, rtfPath)) {
            std::fprintf(stderr, "File Error!\n");
            return 1;
        }
    }
    return 0;
}

const CliCommandRegistration kExplore{CliCommand{
    "explore",
    "descriptives, quartiles, normality tests, intervals and custom statistics",
    "Usage: ambrolux-cli explore [options] FILE\n"
    "\n"
    "What to analyse (a one-column file needs neither):\n"
    "  --columns LIST        columns to analyse, each on its own (names or numbers,\n"
    "                        comma-separated)\n"
    "  --measure COL         the measured column, split by ...\n"
    "  --reference LIST      ... the runs of these reference columns\n"
    "\n"
    "Settings:\n"
    "  --conf PCT            confidence level in percent (default 95)\n"
    "  --decimals D          decimals of the values, 0-9 (default 2)\n"
    "  --pool                pooled standard deviation on the ci page\n"
    "  --pool-nt             pooled standard deviation on the nattol page\n"
    "  --custom LIST         custom statistics by name or number 0-81, or 'all'\n"
    "\n"
    "Output:\n"
    "  --pages LIST          any of descriptives, quartiles, normality, ci, nattol,\n"
    "                        custom, output (default: every result page; custom\n"
    "                        when --custom is given). 'output' prints the report.\n"
    "  --sections LIST       report sections (default all): descriptives,\n"
    "                        quartiles, normality, ci, nattol, custom\n"
    "  --title TEXT          report title\n"
    "  --rtf PATH            also save the report (rich text for .rtf, else text)\n"
    "  --tabs                tab-separated tables instead of aligned ones\n"
    "\n"
    "The simulated exponential test (custom statistic AMX(E)) draws a million\n"
    "samples per row; results are reused for equal sample size and statistic.\n"
    "\n"
    "Exit status: 0 on success, 1 when the program reported an error, 2 on bad\n"
    "usage.\n",
    RunExplore}};

}  // namespace
}  // namespace amx::cli
