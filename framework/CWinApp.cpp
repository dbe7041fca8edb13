#include "framework/CWinApp.h"

#include <string>

#include "framework/FrameworkIds.h"

namespace
{
// The registered application object.
CWinApp*& RegisteredApp()
{
    static CWinApp* s_pApp = nullptr;
    return s_pApp;
}

CString ModuleTitle()
{
    char szPath[MAX_PATH] = {};
    const DWORD nLength = ::GetModuleFileNameA(nullptr, szPath, MAX_PATH);
    std::string name(szPath, nLength);
    name.erase(0, name.find_last_of("\\/:") + 1);
    if (const std::size_t nDot = name.rfind('.'); nDot != std::string::npos && nDot > 0)
    {
        name.erase(nDot);
    }
    return CString(std::move(name));
}
} // namespace

CWinApp::CWinApp() : m_strTitle(ModuleTitle())
{
    RegisteredApp() = this;
}

CWinApp::~CWinApp()
{
    if (RegisteredApp() == this)
    {
        RegisteredApp() = nullptr;
    }
}

void CWinApp::OnHelp()
{
    const CString text = AfxLoadString(ID_HELP);
    if (!text.IsEmpty())
    {
        AfxMessageBox(text, MB_OK | MB_ICONINFORMATION);
    }
}

CWinApp* AfxGetApp()
{
    return RegisteredApp();
}

HINSTANCE AfxGetInstanceHandle()
{
    return ::GetModuleHandleA(nullptr);
}

HWND AfxGetSafeOwner()
{
    if (const HWND hActive = ::GetActiveWindow(); hActive != nullptr)
    {
        return hActive;
    }
    const CWinApp* pApp = AfxGetApp();
    if (pApp != nullptr && pApp->m_pMainWnd != nullptr && ::IsWindow(pApp->m_pMainWnd->GetSafeHwnd()))
    {
        return pApp->m_pMainWnd->GetSafeHwnd();
    }
    return nullptr;
}

CString AfxLoadString(UINT nID)
{
    std::string text(256, '\0');
    for (;;)
    {
        const int nBuffer = static_cast<int>(text.size());
        const int nCopied = ::LoadStringA(AfxGetInstanceHandle(), nID, text.data(), nBuffer);
        if (nCopied < nBuffer - 1)
        {
            text.resize(static_cast<std::size_t>(nCopied > 0 ? nCopied : 0));
            return CString(std::move(text));
        }
        text.resize(text.size() * 2);
    }
}

int AfxMessageBox(const char* pszText, UINT nType, UINT /*nIDHelp*/)
{
    if ((nType & MB_ICONMASK) == 0 && (nType & MB_TYPEMASK) == MB_OK)
    {
        nType |= MB_ICONEXCLAMATION;
    }
    const CWinApp* pApp = AfxGetApp();
    const char* pszCaption = pApp != nullptr ? pApp->GetAppTitle().GetString() : nullptr;
    return ::MessageBoxA(AfxGetSafeOwner(), pszText, pszCaption, nType);
}

int AfxWinMain(HINSTANCE /*hInstance*/, HINSTANCE /*hPrevInstance*/, LPSTR /*lpCmdLine*/, int /*nCmdShow*/)
{
    CWinApp* pApp = AfxGetApp();
    if (pApp == nullptr)
    {
        return -1;
    }
    // There is no message loop here: an application that returns TRUE has nothing left to run.
    pApp->InitInstance();
    return pApp->ExitInstance();
}
