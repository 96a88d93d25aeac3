#pragma once
// Messages for the command-line tool: errors, warnings and notices go to
// stderr as the program's own texts, one per line; questions take their safe
// default (No, or Cancel) since nobody is there to answer.
#include <cstdio>
#include <string>

#include "common/Messages.h"

namespace amx::cli {

class StderrMessages : public SilentMessages {
public:
    int errors = 0;

    void Error(const std::string& text) override {
        ++errors;
        Print(text);
    }
    void Warning(const std::string& text) override { Print(text); }
    void Information(const std::string& text) override { Print(text); }
    void TimedNotice(const std::string& text, int) override { Print(text); }

private:
    static void Print(const std::string& text) {
        std::fputs(text.c_str(), stderr);
        std::fputc('\n', stderr);
    }
};

}  // namespace amx::cli
