#include "DialogRun.h"

std::span<const TestCase> DecorationCases()
{
    return {};
}
