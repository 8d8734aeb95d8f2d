/**********************************************************************************************
*
*   tool_arguments - the command line of the scene tools (stageworks-export, stageworks-publish)
*
*   Both take [DIR] OUT: --help and --version answer and end the program, an unknown option,
*   no operand, an empty one or more than two are bad arguments (status 2).
*
*   DEPENDENCIES: C standard I/O
*
**********************************************************************************************/
#pragma once

#include <string>
#include <vector>

// Reads the operands of a scene tool; -1 when the program goes on with them, otherwise the
// status it ends with (0 after --help or --version, 2 after bad arguments, said on stderr).
// missing is the complaint without operands ("no output file")
int toolArguments(int argc, char **argv, const char *program, const char *version, const char *usage,
                  const char *missing, std::vector<std::string> &operands);
