// tavrelctl.exe writing to a console, as a person at a command prompt sees it: characters, not bytes.
#include <windows.h>

#include "files/Wtf8.h"
#include "files/win32/UniqueHandle.h"
#include "tests/windows/ProgramUnderTest.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace
{
std::wstring Wide(const std::string& wtf8)
{
    const std::u16string wide = Wtf8ToUtf16(wtf8);
    return std::wstring(wide.begin(), wide.end());
}

// This program's own console for as long as it lives: the test's output stays where it went.
class OwnConsole
{
public:
    OwnConsole()
    {
        ::FreeConsole();
        if (::AllocConsole())
        {
            SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
            m_screen =
                FileHandle(::CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                         &inherit, OPEN_EXISTING, 0, nullptr));
        }
    }
    ~OwnConsole() { ::FreeConsole(); }
    OwnConsole(const OwnConsole&) = delete;
    OwnConsole& operator=(const OwnConsole&) = delete;

    HANDLE Screen() const { return m_screen.Get(); }

    // Runs the program with both output streams on this console; its exit status.
    DWORD Run(const std::wstring& arguments) const
    {
        std::wstring line = L"\"" + Wide(ProgramUnderTest()) + L"\" " + arguments;
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = Screen();
        startup.hStdError = Screen();
        PROCESS_INFORMATION process{};
        if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process))
        {
            return static_cast<DWORD>(-1);
        }
        const KernelHandle thread(process.hThread);
        const KernelHandle child(process.hProcess);
        DWORD code = static_cast<DWORD>(-1);
        if (::WaitForSingleObject(child.Get(), 60'000) == WAIT_OBJECT_0)
        {
            ::GetExitCodeProcess(child.Get(), &code);
        }
        return code;
    }

    // The lines written so far, without the blanks that fill each row.
    std::vector<std::wstring> Lines() const
    {
        CONSOLE_SCREEN_BUFFER_INFO info{};
        std::vector<std::wstring> lines;
        if (!::GetConsoleScreenBufferInfo(Screen(), &info))
        {
            return lines;
        }
        for (SHORT y = 0; y < info.dwCursorPosition.Y; ++y)
        {
            std::wstring row(static_cast<std::size_t>(info.dwSize.X), L' ');
            DWORD read = 0;
            ::ReadConsoleOutputCharacterW(Screen(), row.data(), static_cast<DWORD>(row.size()), COORD{0, y}, &read);
            row.resize(row.find_last_not_of(L' ') + 1);
            lines.push_back(row);
        }
        return lines;
    }

private:
    FileHandle m_screen;
};

// A folder named in Cyrillic and a byte of the ANSI code page in the file: the console shows the name
// and the byte as the characters they are, not their bytes in its own code page.
TEST(TavrelctlConsole, NamesAndBytesReadRight)
{
    const TempFolder folder;
    const std::wstring name = L"\u041f\u0440\u0438\u043c\u0435\u0440";
    ASSERT_TRUE(std::filesystem::create_directory(name));
    WriteFileBytes(std::filesystem::path(name) / L"lan.cfg", "MANAGMENT_IP_ADDR=x\xE9\r\n");
    wchar_t accented = 0;
    ASSERT_EQ(::MultiByteToWideChar(CP_ACP, 0, "\xE9", 1, &accented, 1), 1);

    const OwnConsole console;
    ASSERT_TRUE(console.Screen() != INVALID_HANDLE_VALUE) << "no console: " << ::GetLastError();
    const std::wstring file = name + L"\\lan.cfg";
    EXPECT_EQ(console.Run(L"show --file " + file), 0UL);
    EXPECT_EQ(console.Run(L"check --file " + file), 1UL);
    const std::vector<std::wstring> expected = {
        std::wstring(L"control-unit=x") + accented,
        L"shelf-management=",
        L"subnet-mask=",
        L"default-router=",
        L"tavrelctl: " + file + L": Invalid Control Unit IP address",
    };
    const std::vector<std::wstring> lines = console.Lines();
    ASSERT_EQ(lines.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
    {
        EXPECT_TRUE(lines[i] == expected[i])
            << "line " << i + 1 << ": " << Utf16ToWtf8(std::u16string(lines[i].begin(), lines[i].end()));
    }
}
} // namespace
