#include "DialogRun.h"

std::span<const TestCase> KeystrokeCases()
{
    return {};
}
