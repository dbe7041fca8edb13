#include <windows.h>
#include <aclapi.h>

#include "files/win32/CopyExplicitAccess.h"

#include <memory>
#include <optional>
#include <string>

namespace
{
struct LocalFreer
{
    void operator()(void* memory) const { ::LocalFree(memory); }
};
using SecurityDescriptor = std::unique_ptr<void, LocalFreer>;

// What a file's access list says of its own: the entries not inherited, and whether inheritance is
// cut off.
struct ExplicitAccess
{
    std::string entries;
    bool isProtected = false;
    SecurityDescriptor descriptor;
    PACL dacl = nullptr;

    bool SameAs(const ExplicitAccess& other) const
    {
        return entries == other.entries && isProtected == other.isProtected;
    }
};

std::optional<ExplicitAccess> ExplicitAccessOf(HANDLE file)
{
    ExplicitAccess access;
    PSECURITY_DESCRIPTOR raw = nullptr;
    if (::GetSecurityInfo(file, SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &access.dacl, nullptr,
                          &raw) != ERROR_SUCCESS)
    {
        return std::nullopt;
    }
    access.descriptor.reset(raw);
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    if (!::GetSecurityDescriptorControl(raw, &control, &revision))
    {
        return std::nullopt;
    }
    access.isProtected = (control & SE_DACL_PROTECTED) != 0;
    for (DWORD i = 0; access.dacl != nullptr && i < access.dacl->AceCount; ++i)
    {
        void* ace = nullptr;
        if (!::GetAce(access.dacl, i, &ace))
        {
            return std::nullopt;
        }
        const auto* header = static_cast<const ACE_HEADER*>(ace);
        if ((header->AceFlags & INHERITED_ACE) == 0)
        {
            access.entries.append(static_cast<const char*>(ace), header->AceSize);
        }
    }
    return access;
}
} // namespace

bool CopyExplicitAccess(HANDLE old, HANDLE temp)
{
    const std::optional<ExplicitAccess> wanted = ExplicitAccessOf(old);
    const std::optional<ExplicitAccess> given = ExplicitAccessOf(temp);
    if (!wanted || !given)
    {
        return false;
    }
    if (wanted->SameAs(*given))
    {
        return true;
    }
    const SECURITY_INFORMATION what =
        DACL_SECURITY_INFORMATION |
        (wanted->isProtected ? PROTECTED_DACL_SECURITY_INFORMATION : UNPROTECTED_DACL_SECURITY_INFORMATION);
    if (::SetSecurityInfo(temp, SE_FILE_OBJECT, what, nullptr, nullptr, wanted->dacl, nullptr) != ERROR_SUCCESS)
    {
        return false;
    }
    const std::optional<ExplicitAccess> result = ExplicitAccessOf(temp);
    return result && wanted->SameAs(*result);
}
