// A DLL planted beside a shipped program under a system DLL's name is never loaded: both programs
// look for DLLs named without a folder in the system folder only.

#include "tests/windows/e2e/CaseSupport.h"

#include "tests/support/ChildProcess.h"
#include "tests/support/TempFolder.h"

#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

namespace e2e
{

namespace
{

namespace fs = std::filesystem;

// Under Wine a DLL beside a program is loaded in place of a system DLL only where Wine's overrides ask
// for native DLLs first, as Windows does for a DLL it does not know. Wine takes WINEDLLOVERRIDES from
// the environment it started in, not from the one a Windows parent passes on, so the programs of this
// case get that override from Wine's registry instead, by their names, while the case runs.
class NativeUxthemeFirst
{
public:
    explicit NativeUxthemeFirst(std::initializer_list<const char*> programs)
    {
        for (const char* program : programs)
        {
            HKEY key = nullptr;
            const std::string name = std::string("Software\\Wine\\AppDefaults\\") + program + "\\DllOverrides";
            if (::RegCreateKeyExA(HKEY_CURRENT_USER, name.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                                  nullptr) != ERROR_SUCCESS)
            {
                ADD_FAILURE() << "cannot make " << name;
                continue;
            }
            const RegistryKey overrides(key);
            constexpr char kNativeFirst[] = "native,builtin";
            ::RegSetValueExA(overrides.Get(), "uxtheme", 0, REG_SZ, reinterpret_cast<const BYTE*>(kNativeFirst),
                             sizeof kNativeFirst);
            m_keys.push_back(name);
        }
    }
    ~NativeUxthemeFirst()
    {
        for (const std::string& name : m_keys)
        {
            ::RegDeleteKeyValueA(HKEY_CURRENT_USER, name.c_str(), "uxtheme");
        }
    }
    NativeUxthemeFirst(const NativeUxthemeFirst&) = delete;
    NativeUxthemeFirst& operator=(const NativeUxthemeFirst&) = delete;

private:
    struct RegistryKeyTraits
    {
        using Type = HKEY;
        static Type Invalid() { return nullptr; }
        static bool Close(Type key) { return ::RegCloseKey(key) == ERROR_SUCCESS; }
    };
    using RegistryKey = UniqueHandle<RegistryKeyTraits>;

    std::vector<std::string> m_keys;
};

// The build puts tavrelctl.exe beside Tavrel.exe, and the planted uxtheme.dll with its control
// program in planted-dll/ there. Copies of the programs go into a fresh folder with the plant, which
// records each load in uxtheme.dll.loaded beside itself.
TEST(PlantedDll, NeitherProgramLoadsADllPlantedBesideIt)
{
    const fs::path built = fs::path(TavrelExe()).parent_path();
    const TempFolder folder(TempFolder::Use::AsPath);
    const fs::path& downloads = folder.Path();
    for (const fs::path& file : {built / "Tavrel.exe", built / "tavrelctl.exe", built / "planted-dll" / "uxtheme.dll",
                                 built / "planted-dll" / "loads_uxtheme.exe"})
    {
        ASSERT_TRUE(fs::copy_file(file, downloads / file.filename())) << file;
    }
    const fs::path loaded = downloads / "uxtheme.dll.loaded";
    const NativeUxthemeFirst overrides({"loads_uxtheme.exe", "Tavrel.exe", "tavrelctl.exe"});

    // The control: a program that loads uxtheme.dll by name unprotected gets the plant.
    EXPECT_EQ(RunProcess((downloads / "loads_uxtheme.exe").string(), {}).status, 0);
    ASSERT_TRUE(fs::exists(loaded)) << "the plant does not work: the case would prove nothing";
    ASSERT_TRUE(fs::remove(loaded));

    {
        TavrelProcess app((downloads / "Tavrel.exe").string(), kCanonicalSample);
        ASSERT_TRUE(app.WaitForDialog());
        CloseWithEscape(app);
    }
    EXPECT_FALSE(fs::exists(loaded)) << "Tavrel.exe loaded the planted uxtheme.dll";
    fs::remove(loaded);

    // Under Wine 8 tavrelctl.exe loads no DLL by name once started, so this half cannot fail there;
    // on Windows the system's own DLLs load some as they need them.
    WriteFileBytes(downloads / "lan.cfg", kCanonicalSample);
    const ProcessResult set =
        RunProcess((downloads / "tavrelctl.exe").string(),
                   {"set", "--file", (downloads / "lan.cfg").string(), "--control-unit", kSampleControlUnit});
    EXPECT_EQ(set.status, 0) << set.err;
    EXPECT_FALSE(fs::exists(loaded)) << "tavrelctl.exe loaded the planted uxtheme.dll";
}

} // namespace

} // namespace e2e
