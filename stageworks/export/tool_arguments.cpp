/**********************************************************************************************
*
*   tool_arguments - the command line of the scene tools
*
**********************************************************************************************/
#include "tool_arguments.h"

#include <cstdio>    // Required for: printf(), fprintf(), fputs()
#include <cstring>   // Required for: strcmp()

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
int toolArguments(int argc, char **argv, const char *program, const char *version, const char *usage,
                  const char *missing, std::vector<std::string> &operands)
{
    operands.clear();
    for (int i = 1; i < argc; i++) {
        if (strcmp(argv[i], "--help") == 0 || strcmp(argv[i], "-h") == 0) {
            fputs(usage, stdout);
            return 0;
        }
        if (strcmp(argv[i], "--version") == 0) {
            printf("%s %s\n", program, version);
            return 0;
        }
        if (argv[i][0] == '-' && argv[i][1] != '\0') {
            fprintf(stderr, "%s: unknown option '%s'\n%s", program, argv[i], usage);
            return 2;
        }
        operands.push_back(argv[i]);
    }
    const char *problem = nullptr;
    if (operands.size() > 2) problem = "too many arguments";
    else if (operands.empty() || operands.back().empty()) problem = missing;
    else if (operands.front().empty()) problem = "an empty path";
    if (problem == nullptr) return -1;
    fprintf(stderr, "%s: %s\n%s", program, problem, usage);
    return 2;
}
