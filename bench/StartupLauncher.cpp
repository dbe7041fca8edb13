#include <windows.h>
#include <psapi.h>

#include "files/win32/UniqueHandle.h"
#include "res/resource.h"
#include "tests/support/SampleConfig.h"
#include "tests/support/WineStartRetry.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

// Measures how long programs take from CreateProcess until their dialog is on screen: visible and,
// where the dialog has a Control Unit field, that field filled (for Tavrel, from lan.cfg). The
// programs run in turn, round after round, so all of them see the same machine state. The first
// program is compared with each of the others. Prints RESULT lines for the driver script.
namespace
{
constexpr DWORD kShowTimeoutMs = 30000;
constexpr DWORD kExitTimeoutMs = 15000;
constexpr DWORD kSettleMs = 100;

struct Target
{
    std::string m_strLabel;
    std::string m_strExe;
    std::vector<double> m_startupMs;
    std::vector<double> m_peakWorkingSetKiB;
    std::vector<double> m_peakPagefileKiB;
};

struct FindContext
{
    DWORD m_nProcessId;
    HWND m_hDialog;
};

BOOL CALLBACK FindVisibleDialog(HWND hwnd, LPARAM lParam)
{
    auto* context = reinterpret_cast<FindContext*>(lParam);
    DWORD processId = 0;
    GetWindowThreadProcessId(hwnd, &processId);
    char className[16] = {};
    if (processId != context->m_nProcessId || !IsWindowVisible(hwnd) ||
        GetClassNameA(hwnd, className, sizeof className) == 0 || std::string(className) != "#32770")
    {
        return TRUE;
    }
    context->m_hDialog = hwnd;
    return FALSE;
}

// True once the dialog has no such field or the field shows text.
bool FieldReady(HWND dialog, int controlId)
{
    const HWND edit = GetDlgItem(dialog, controlId);
    char text[64] = {};
    DWORD_PTR length = 0;
    return edit == nullptr || (SendMessageTimeoutA(edit, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                                                   SMTO_ABORTIFHUNG, 200, &length) != 0 &&
                               length > 0);
}

double MillisecondsSince(const LARGE_INTEGER& start)
{
    LARGE_INTEGER now{};
    LARGE_INTEGER frequency{};
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Starts the target in workDir, waits for its dialog, records the figures, closes it and waits for
// its exit. Returns false (with a message) when any step fails; nothing is recorded then.
bool RunOnce(Target& target, const std::string& workDir, bool record)
{
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::string commandLine = "\"" + target.m_strExe + "\"";

    LARGE_INTEGER start{};
    if (!StartRetryingWineFault(
            [&]
            {
                QueryPerformanceCounter(&start);
                return CreateProcessA(target.m_strExe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                      workDir.c_str(), &startup, &info) != FALSE;
            }))
    {
        std::fprintf(stderr, "%s: CreateProcess failed (%lu)\n", target.m_strLabel.c_str(), GetLastError());
        return false;
    }
    const KernelHandle process(info.hProcess);
    const KernelHandle thread(info.hThread);

    FindContext context{info.dwProcessId, nullptr};
    double elapsedMs = 0;
    for (;;)
    {
        context.m_hDialog = nullptr;
        EnumWindows(FindVisibleDialog, reinterpret_cast<LPARAM>(&context));
        elapsedMs = MillisecondsSince(start);
        if (context.m_hDialog != nullptr && FieldReady(context.m_hDialog, IDC_CONTROL_UNIT_IP))
        {
            break;
        }
        if (WaitForSingleObject(process.Get(), 1) == WAIT_OBJECT_0 || elapsedMs > kShowTimeoutMs)
        {
            std::fprintf(stderr, "%s: no dialog ready within %.0f ms\n", target.m_strLabel.c_str(), elapsedMs);
            TerminateProcess(process.Get(), 1);
            return false;
        }
    }

    // The peaks are read with the dialog open and painted.
    Sleep(100);
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    const bool haveMemory = GetProcessMemoryInfo(process.Get(), &counters, sizeof counters) != 0;

    PostMessageA(context.m_hDialog, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.Get(), kExitTimeoutMs) != WAIT_OBJECT_0)
    {
        std::fprintf(stderr, "%s: did not exit after WM_CLOSE\n", target.m_strLabel.c_str());
        TerminateProcess(process.Get(), 1);
        return false;
    }
    // The next start should not overlap the window system's clean-up after this one.
    Sleep(kSettleMs);
    if (record)
    {
        target.m_startupMs.push_back(elapsedMs);
        if (haveMemory)
        {
            target.m_peakWorkingSetKiB.push_back(static_cast<double>(counters.PeakWorkingSetSize) / 1024.0);
            target.m_peakPagefileKiB.push_back(static_cast<double>(counters.PeakPagefileUsage) / 1024.0);
        }
    }
    return true;
}

double Median(std::vector<double> values)
{
    if (values.empty())
    {
        return 0;
    }
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 != 0 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

void PrintTarget(const Target& target)
{
    const char* label = target.m_strLabel.c_str();
    std::printf("%s start-up ms:", label);
    for (const double ms : target.m_startupMs)
    {
        std::printf(" %.1f", ms);
    }
    std::printf("\nRESULT startup_ms_%s %.2f\n", label, Median(target.m_startupMs));
    // The fastest run shows the cost with the least interference from other load on the machine.
    std::printf("RESULT startup_min_ms_%s %.2f\n", label,
                *std::min_element(target.m_startupMs.begin(), target.m_startupMs.end()));
    if (!target.m_peakWorkingSetKiB.empty())
    {
        std::printf("RESULT peak_working_set_kib_%s %.0f\n", label, Median(target.m_peakWorkingSetKiB));
        std::printf("RESULT peak_pagefile_kib_%s %.0f\n", label, Median(target.m_peakPagefileKiB));
    }
}

// C:\dir\MinimalDialog.exe -> MinimalDialog
std::string LabelOf(const std::string& exe)
{
    const std::size_t slash = exe.find_last_of("\\/");
    std::string name = slash == std::string::npos ? exe : exe.substr(slash + 1);
    if (const std::size_t dot = name.rfind('.'); dot != std::string::npos)
    {
        name.resize(dot);
    }
    return name;
}

// A folder of its own holding the lan.cfg of an ordinary unit, the working folder of every run.
bool PrepareWorkDir(std::string& workDir)
{
    char tempPath[MAX_PATH] = {};
    if (GetTempPathA(MAX_PATH, tempPath) == 0)
    {
        return false;
    }
    workDir = std::string(tempPath) + "tavrel-startup-" + std::to_string(GetCurrentProcessId());
    if (!::CreateDirectoryA(workDir.c_str(), nullptr))
    {
        return false;
    }
    const FileHandle file(::CreateFileA((workDir + "\\lan.cfg").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file.IsValid() &&
           ::WriteFile(file.Get(), kSampleConfigText.data(), static_cast<DWORD>(kSampleConfigText.size()), &written,
                       nullptr) &&
           written == kSampleConfigText.size();
}
} // namespace

int main(int argc, char** argv)
{
    if (argc < 4)
    {
        std::fprintf(stderr, "usage: StartupLauncher RUNS Tavrel.exe Other.exe...\n");
        return 2;
    }
    const int runs = std::max(1, std::atoi(argv[1]));
    std::vector<Target> targets;
    for (int i = 2; i < argc; ++i)
    {
        targets.push_back({LabelOf(argv[i]), argv[i], {}, {}, {}});
    }

    std::string workDir;
    if (!PrepareWorkDir(workDir))
    {
        std::fprintf(stderr, "cannot prepare a working directory with lan.cfg\n");
        return 1;
    }
    bool ok = true;
    // One unrecorded round first: the first start of a program pays for loading it from disk.
    for (int run = -1; run < runs && ok; ++run)
    {
        for (Target& target : targets)
        {
            ok = ok && RunOnce(target, workDir, run >= 0);
        }
    }
    DeleteFileA((workDir + "\\lan.cfg").c_str());
    RemoveDirectoryA(workDir.c_str());
    if (!ok)
    {
        return 1;
    }
    for (const Target& target : targets)
    {
        PrintTarget(target);
    }
    for (std::size_t i = 1; i < targets.size(); ++i)
    {
        std::printf("RESULT startup_ratio_%s %.3f\n", targets[i].m_strLabel.c_str(),
                    Median(targets[0].m_startupMs) / Median(targets[i].m_startupMs));
    }
    std::fflush(stdout);
    return 0;
}
