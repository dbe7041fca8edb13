#pragma once

#include <span>
#include <string>
#include <string_view>
#include <type_traits>

// A tiny test runner for the end-to-end driver (GoogleTest is not built for MinGW here). A case is a
// named function; checks record a failure and let the case go on, REQUIRE ends the case.

namespace e2e
{

class Context
{
public:
    explicit Context(std::string strTavrelExe) : m_strTavrelExe(std::move(strTavrelExe)) {}

    const std::string& TavrelExe() const { return m_strTavrelExe; }
    void Fail(const char* file, int line, const std::string& what);
    int Failures() const { return m_nFailures; }

    // Names the table row being run, so that a failure says which one.
    class Scope
    {
    public:
        Scope(Context& t, std::string strName) : m_t(t), m_strSaved(std::move(t.m_strScope))
        {
            t.m_strScope = std::move(strName);
        }
        ~Scope() { m_t.m_strScope = std::move(m_strSaved); }
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        Context& m_t;
        std::string m_strSaved;
    };

private:
    std::string m_strTavrelExe;
    std::string m_strScope;
    int m_nFailures = 0;
};

using CaseFunction = void (*)(Context&);

struct Case
{
    std::string_view name;
    CaseFunction run;
};

// Bytes as a C string literal, so that CR, LF and other control bytes show.
std::string Quote(std::string_view bytes);

inline std::string Show(std::string_view s)
{
    return Quote(s);
}
inline std::string Show(const std::string& s)
{
    return Quote(s);
}
inline std::string Show(const char* s)
{
    return s ? Quote(s) : "(null)";
}
inline std::string Show(bool b)
{
    return b ? "true" : "false";
}
template <class T>
requires std::is_integral_v<T> std::string Show(T n)
{
    return std::to_string(n);
}

template <class T>
requires std::is_enum_v<T> std::string Show(T e)
{
    return std::to_string(static_cast<std::underlying_type_t<T>>(e));
}

template <class A, class B>
bool CheckEqual(Context& t, const A& actual, const B& expected, const char* file, int line, const char* expr)
{
    if (actual == expected)
        return true;
    t.Fail(file, line, std::string(expr) + " is " + Show(actual) + ", expected " + Show(expected));
    return false;
}

// Runs the named case (or every case for "all") and prints "N passed, N failed"; returns the exit code.
int RunCases(std::span<const Case> cases, int argc, char** argv);

} // namespace e2e

#define CHECK(t, cond) ((cond) ? true : ((t).Fail(__FILE__, __LINE__, "CHECK(" #cond ") failed"), false))
#define CHECK_EQ(t, actual, expected) ::e2e::CheckEqual((t), (actual), (expected), __FILE__, __LINE__, #actual)
#define REQUIRE(t, cond)                                                                                               \
    do                                                                                                                 \
    {                                                                                                                  \
        if (!CHECK(t, cond))                                                                                           \
            return;                                                                                                    \
    } while (false)
