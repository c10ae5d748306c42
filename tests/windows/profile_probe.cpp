// Reads and writes settings-file keys through the platform's ProfileStore, as the adapter does,
// and prints each value read with the ratio the adapter would take from it.
//
// Commands come from standard input, one per line, fields separated by tabs:
//   read <section> <key>            prints: <section>|<key>|<text>|<ratio>
//   write <section> <key> <value>   prints: <section>|<key>=<value>|<ok or failed>
// The file is the adapter's own bare "Korvex.ini", wherever the platform puts it.
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "profile_store.h"
#include "settings_file.h"

namespace {

std::vector<std::string> SplitTabs(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t begin = 0;
    for (std::size_t tab = line.find('\t'); tab != std::string::npos; tab = line.find('\t', begin)) {
        fields.push_back(line.substr(begin, tab - begin));
        begin = tab + 1;
    }
    fields.push_back(line.substr(begin));
    return fields;
}

}  // namespace

int main() {
    constexpr uint32_t kBufferSize = 250;  // the adapter's own buffer
    std::string line;
    int errors = 0;
    while (std::getline(std::cin, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line.front() == '#') continue;
        const std::vector<std::string> f = SplitTabs(line);
        if (f[0] == "read" && f.size() == 3) {
            char text[kBufferSize];
            const uint32_t count = korvex::settings::ReadProfileString(f[1].c_str(), f[2].c_str(), "1.00", text,
                                                                       kBufferSize, korvex::settings::kFileName);
            const double parsed = korvex::settings::ParseStoredNumber(text);
            std::printf("%s|%s|%s|%u|%.17g\n", f[1].c_str(), f[2].c_str(), text, count, parsed == 0.0 ? 1.0 : parsed);
        } else if (f[0] == "write" && f.size() == 4) {
            const bool ok = korvex::settings::WriteProfileString(f[1].c_str(), f[2].c_str(), f[3].c_str(),
                                                                 korvex::settings::kFileName);
            std::printf("%s|%s=%s|%s\n", f[1].c_str(), f[2].c_str(), f[3].c_str(), ok ? "ok" : "failed");
        } else {
            std::fprintf(stderr, "unknown command: %s\n", line.c_str());
            ++errors;
        }
    }
    return errors == 0 ? 0 : 2;
}
