// tavrelctl.exe set killed at random moments, many times: lan.cfg is never missing, empty or mixed,
// and a reader beside it never finds it missing. And two at once both succeed.
#include <windows.h>

#include "files/win32/UniqueHandle.h"
#include "files/win32/WidePath.h"
#include "tests/windows/ProgramUnderTest.h"
#include "tests/support/WineStartRetry.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace
{
constexpr int kReplacingKills = 80;
constexpr int kCreatingKills = 20;
constexpr int kConcurrentRounds = 20;

// Starts tavrelctl.exe set with one control-unit address; its output goes nowhere.
KernelHandle StartSet(const std::string& address)
{
    std::wstring commandLine = L"\"" + WidePath(ProgramUnderTest()) + L"\" set --control-unit " + WidePath(address) +
                               L" --shelf-management 10.1.1.2 --subnet-mask 255.255.255.0 --default-router 10.1.1.1";
    // No console: under Wine a console program killed midway leaves its console host behind, which
    // holds the test's output open. Standard handles of its own instead.
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    const FileHandle nul(::CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                       &inherit, OPEN_EXISTING, 0, nullptr));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nul.Get();
    startup.hStdOutput = nul.Get();
    startup.hStdError = nul.Get();
    PROCESS_INFORMATION process{};
    if (!nul.IsValid() || !StartRetryingWineFault(
                              [&]
                              {
                                  return ::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE,
                                                          DETACHED_PROCESS, nullptr, nullptr, &startup,
                                                          &process) != FALSE;
                              }))
    {
        return KernelHandle();
    }
    const KernelHandle thread(process.hThread);
    return KernelHandle(process.hProcess);
}

std::string TextFor(const std::string& address)
{
    return "[GENERAL INFORMATION]\r\nSHELF_MNG_IP_ADDR=10.1.1.2\r\nSHELF_MNG_SUBNETMASK=255.255.255.0\r\n"
           "SHELF_MNG_DEFGATEWAY=10.1.1.1\r\nMANAGMENT_IP_ADDR=" +
           address + "\r\nMANAGMENT_SUBNETMASK=255.255.255.0\r\nMANAGMENT_DEFGATEWAY=10.1.1.1\r\n";
}

// Reads lan.cfg as another program would, sharing everything; nothing when there is none.
std::optional<std::string> ReadShared()
{
    const FileHandle file(::CreateFileW(L"lan.cfg", GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                        0, nullptr));
    if (!file.IsValid())
    {
        return ::GetLastError() == ERROR_FILE_NOT_FOUND ? std::nullopt : std::optional<std::string>("(unreadable)");
    }
    std::string bytes;
    char buffer[1024];
    DWORD count = 0;
    while (::ReadFile(file.Get(), buffer, sizeof buffer, &count, nullptr) && count > 0)
    {
        bytes.append(buffer, count);
    }
    return bytes;
}

// Runs set to its end once, and tells how long it took.
std::chrono::milliseconds TimeOneSet(const std::string& address)
{
    const auto start = std::chrono::steady_clock::now();
    const KernelHandle process = StartSet(address);
    EXPECT_TRUE(process.IsValid());
    EXPECT_EQ(::WaitForSingleObject(process.Get(), 30'000), WAIT_OBJECT_0);
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
}

// Starts set and kills it after up to limit; true when it ended either way.
bool KillAtRandom(const std::string& address, std::chrono::milliseconds limit, std::mt19937& random)
{
    const KernelHandle process = StartSet(address);
    if (!process.IsValid())
    {
        return false;
    }
    std::uniform_int_distribution<long> delay(0, static_cast<long>(limit.count()));
    ::WaitForSingleObject(process.Get(), static_cast<DWORD>(delay(random)));
    ::TerminateProcess(process.Get(), 9);
    return ::WaitForSingleObject(process.Get(), 30'000) == WAIT_OBJECT_0;
}

class KillLoop : public testing::Test
{
protected:
    TempFolder m_folder;
    std::mt19937 m_random{std::random_device{}()};
};

TEST_F(KillLoop, ReplacedFileIsAlwaysWholeAndPresent)
{
    const std::string addresses[] = {"10.1.1.3", "10.1.1.4"};
    const std::chrono::milliseconds lifetime = TimeOneSet(addresses[0]);
    ASSERT_EQ(ReadShared(), TextFor(addresses[0]));

    std::atomic<bool> done{false};
    std::atomic<int> reads{0};
    std::atomic<int> missing{0};
    std::atomic<int> mixed{0};
    std::thread reader(
        [&]
        {
            while (!done)
            {
                const std::optional<std::string> bytes = ReadShared();
                ++reads;
                if (!bytes)
                {
                    ++missing;
                }
                else if (*bytes != TextFor(addresses[0]) && *bytes != TextFor(addresses[1]))
                {
                    ++mixed;
                }
            }
        });
    for (int kill = 0; kill < kReplacingKills; ++kill)
    {
        // Always the address the file does not hold: set leaves a file that already holds its bytes alone.
        const std::string& next = ReadShared() == TextFor(addresses[0]) ? addresses[1] : addresses[0];
        ASSERT_TRUE(KillAtRandom(next, lifetime, m_random));
        const std::optional<std::string> bytes = ReadShared();
        ASSERT_TRUE(bytes == TextFor(addresses[0]) || bytes == TextFor(addresses[1]))
            << "after kill " << kill << ": " << bytes.value_or("(missing)");
    }
    done = true;
    reader.join();
    EXPECT_GT(reads.load(), 0);
    EXPECT_EQ(missing.load(), 0) << "of " << reads.load() << " reads";
    EXPECT_EQ(mixed.load(), 0) << "of " << reads.load() << " reads";
}

// A new file is never claimed empty first: after a kill it is missing or whole.
TEST_F(KillLoop, CreatedFileIsMissingOrWhole)
{
    const std::chrono::milliseconds lifetime = TimeOneSet("10.1.1.3");
    for (int kill = 0; kill < kCreatingKills; ++kill)
    {
        ASSERT_TRUE(::DeleteFileW(L"lan.cfg") || ::GetLastError() == ERROR_FILE_NOT_FOUND);
        ASSERT_TRUE(KillAtRandom("10.1.1.3", lifetime, m_random));
        const std::optional<std::string> bytes = ReadShared();
        ASSERT_TRUE(!bytes || bytes == TextFor("10.1.1.3")) << "after kill " << kill << ": " << *bytes;
    }
}
// Two saves at once, also of a file neither found: both succeed, and one of them wins whole.
TEST_F(KillLoop, TwoSavesAtOnceBothSucceed)
{
    const std::string addresses[] = {"10.1.1.3", "10.1.1.4"};
    for (int round = 0; round < kConcurrentRounds; ++round)
    {
        if (round % 5 == 0)
        {
            ASSERT_TRUE(::DeleteFileW(L"lan.cfg") || ::GetLastError() == ERROR_FILE_NOT_FOUND);
        }
        const KernelHandle first = StartSet(addresses[0]);
        const KernelHandle second = StartSet(addresses[1]);
        ASSERT_TRUE(first.IsValid() && second.IsValid());
        for (const KernelHandle* process : {&first, &second})
        {
            DWORD code = 1;
            ASSERT_EQ(::WaitForSingleObject(process->Get(), 30'000), WAIT_OBJECT_0);
            EXPECT_TRUE(::GetExitCodeProcess(process->Get(), &code) && code == 0) << "round " << round;
        }
        const std::optional<std::string> bytes = ReadShared();
        EXPECT_TRUE(bytes == TextFor(addresses[0]) || bytes == TextFor(addresses[1])) << "round " << round;
    }
}
} // namespace
