// The settings dialog as a screen reader meets it: the names of its fields, read from another process
// through Microsoft Active Accessibility, as screen readers read them.

#include <windows.h>
#include <oleacc.h>

#include "tests/windows/e2e/CaseSupport.h"

#include "files/Wtf8.h"
#include "files/win32/UniqueHandle.h"

#include <string>

namespace e2e
{

namespace
{

struct AccessibleTraits
{
    using Type = IAccessible*;
    static Type Invalid() { return nullptr; }
    static bool Close(Type object) { return object->Release(), true; }
};

struct BstrTraits
{
    using Type = BSTR;
    static Type Invalid() { return nullptr; }
    static bool Close(Type text) { return ::SysFreeString(text), true; }
};

class ComApartment
{
public:
    ComApartment() : m_hr(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComApartment()
    {
        if (SUCCEEDED(m_hr))
        {
            ::CoUninitialize();
        }
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    HRESULT m_hr;
};

// Each field is named by the label beside it, which a screen reader takes from the control just before
// the field in the window order.
TEST(SettingsDialog, EachFieldNamedByItsLabel)
{
    TavrelProcess app(TavrelExe(), kCanonicalSample);
    ASSERT_TRUE(app.WaitForDialog());
    const ComApartment com;
    const struct
    {
        int field;
        int label;
    } rows[] = {
        {IDC_CONTROL_UNIT_IP, IDC_LABEL_CONTROL_UNIT},
        {IDC_SHELF_MNG_IP, IDC_LABEL_SHELF_MNG},
        {IDC_SUBNET_MASK, IDC_LABEL_SUBNET_MASK},
        {IDC_DEFAULT_ROUTER, IDC_LABEL_DEFAULT_ROUTER},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE("field " + std::to_string(row.field));
        IAccessible* object = nullptr;
        const HRESULT hr = ::AccessibleObjectFromWindow(app.Control(row.field), static_cast<DWORD>(OBJID_CLIENT),
                                                        IID_IAccessible, reinterpret_cast<void**>(&object));
        if (hr == E_NOINTERFACE && sizeof(void*) == 8)
        {
            GTEST_SKIP() << "Wine 8's 64-bit oleacc refuses queries across processes (E_NOINTERFACE); "
                            "the 32-bit build runs this case";
        }
        ASSERT_EQ(hr, S_OK);
        const UniqueHandle<AccessibleTraits> accessible(object);
        VARIANT self{};
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        BSTR name = nullptr;
        ASSERT_EQ(accessible.Get()->get_accName(self, &name), S_OK);
        const UniqueHandle<BstrTraits> owned(name);
        const std::u16string wide(reinterpret_cast<const char16_t*>(name), ::SysStringLen(name));
        EXPECT_EQ(Utf16ToWtf8(wide), app.Text(row.label));
    }
    CloseWithEscape(app);
}

} // namespace

} // namespace e2e
