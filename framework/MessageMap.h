#pragma once

#include <windows.h>

#include <span>
#include <variant>

// Something that takes messages through a table of its own.
class CCmdTarget
{
public:
    CCmdTarget() = default;
    CCmdTarget(const CCmdTarget&) = delete;
    CCmdTarget& operator=(const CCmdTarget&) = delete;
    virtual ~CCmdTarget() = default;

    // Runs the handler that the class's table binds to this message; false when no row takes it.
    virtual bool OnWndMsg(UINT /*message*/, WPARAM /*wParam*/, LPARAM /*lParam*/, LRESULT& /*lResult*/)
    {
        return false;
    }
};

// The rows a class's message table can hold, one kind per message family, each with the handler
// signature of that family. A class declares
//     static const CMessageMap<CMyDlg>::Entry s_messageMap[];
// lists its rows in its source file and answers OnWndMsg with CMessageMap<CMyDlg>::Dispatch.
template <class T>
struct CMessageMap
{
    // A menu command or accelerator (WM_COMMAND with code 0 or 1).
    struct Command
    {
        UINT nID;
        void (T::*pfn)();
    };
    // A notification from the child control nID (WM_COMMAND with that code).
    struct Notify
    {
        UINT nID;
        UINT nCode;
        void (T::*pfn)();
    };
    struct SysCommand
    {
        void (T::*pfn)(UINT nID, LPARAM lParam);
    };
    struct Paint
    {
        void (T::*pfn)();
    };
    struct QueryDragIcon
    {
        HCURSOR (T::*pfn)();
    };

    using Entry = std::variant<Command, Notify, SysCommand, Paint, QueryDragIcon>;

    // Runs the first row that takes the message.
    static bool Dispatch(std::span<const Entry> entries, T& target, UINT message, WPARAM wParam, LPARAM lParam,
                         LRESULT& lResult)
    {
        for (const Entry& entry : entries)
        {
            const bool bTaken =
                std::visit([&](const auto& row) { return Run(row, target, message, wParam, lParam, lResult); }, entry);
            if (bTaken)
            {
                return true;
            }
        }
        return false;
    }

private:
    // WPARAM is as wide as UINT on 32-bit Windows and wider on 64-bit.
    template <class TParam>
    static UINT LowUint(TParam wParam)
    {
        if constexpr (sizeof(TParam) > sizeof(UINT))
        {
            return static_cast<UINT>(wParam);
        }
        else
        {
            return wParam;
        }
    }

    static bool Run(const Command& row, T& target, UINT message, WPARAM wParam, LPARAM lParam, LRESULT&)
    {
        if (message != WM_COMMAND || lParam != 0 || LOWORD(wParam) != row.nID || HIWORD(wParam) > 1)
        {
            return false;
        }
        (target.*row.pfn)();
        return true;
    }
    static bool Run(const Notify& row, T& target, UINT message, WPARAM wParam, LPARAM lParam, LRESULT&)
    {
        if (message != WM_COMMAND || lParam == 0 || LOWORD(wParam) != row.nID || HIWORD(wParam) != row.nCode)
        {
            return false;
        }
        (target.*row.pfn)();
        return true;
    }
    static bool Run(const SysCommand& row, T& target, UINT message, WPARAM wParam, LPARAM lParam, LRESULT&)
    {
        if (message != WM_SYSCOMMAND)
        {
            return false;
        }
        (target.*row.pfn)(LowUint(wParam), lParam);
        return true;
    }
    static bool Run(const Paint& row, T& target, UINT message, WPARAM, LPARAM, LRESULT&)
    {
        if (message != WM_PAINT)
        {
            return false;
        }
        (target.*row.pfn)();
        return true;
    }
    static bool Run(const QueryDragIcon& row, T& target, UINT message, WPARAM, LPARAM, LRESULT& lResult)
    {
        if (message != WM_QUERYDRAGICON)
        {
            return false;
        }
        lResult = reinterpret_cast<LRESULT>((target.*row.pfn)());
        return true;
    }
};
