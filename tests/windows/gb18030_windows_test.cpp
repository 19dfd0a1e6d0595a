// The Windows build's text conversion on the shared cases, built with MinGW and run under Wine.
#include <cstdio>

#include "text/gb18030_cases.h"

int main() {
    const std::vector<std::string> failures = zelvo::testing::gb18030Failures();
    for (const std::string& failure : failures) std::printf("failed: %s\n", failure.c_str());
    std::printf("four-byte characters: %s\n", zelvo::testing::gb18030Bytes(u"😀")
                                                  ? "code page 54936"
                                                  : "no code page 54936, refused");
    return failures.empty() ? 0 : 1;
}
