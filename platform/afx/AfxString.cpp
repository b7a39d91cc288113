#include "platform/afx/AfxString.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

std::string VFormat(const char* fmt, va_list args)
{
    va_list copy;
    va_copy(copy, args);
    const int n = std::vsnprintf(nullptr, 0, fmt, copy);
    va_end(copy);
    if (n <= 0)
        return std::string();
    std::string out(static_cast<size_t>(n) + 1, '\0');
    std::vsnprintf(out.data(), out.size(), fmt, args);
    out.resize(static_cast<size_t>(n));
    return out;
}

char LowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

char UpperAscii(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

const char kBlanks[] = " \t\r\n\v\f";

}  // namespace

void CString::Format(const char* fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    m_s = VFormat(fmt, args);
    va_end(args);
}

void CString::AppendFormat(const char* fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    m_s += VFormat(fmt, args);
    va_end(args);
}

CString CString::Left(int n) const
{
    return CString(m_s.substr(0, static_cast<size_t>(std::clamp(n, 0, GetLength()))));
}

CString CString::Right(int n) const
{
    n = std::clamp(n, 0, GetLength());
    return CString(m_s.substr(m_s.size() - static_cast<size_t>(n)));
}

CString CString::Mid(int first) const
{
    return Mid(first, GetLength());
}

CString CString::Mid(int first, int n) const
{
    first = std::clamp(first, 0, GetLength());
    n = std::clamp(n, 0, GetLength() - first);
    return CString(m_s.substr(static_cast<size_t>(first), static_cast<size_t>(n)));
}

CString CString::SpanIncluding(const char* set) const
{
    const size_t n = m_s.find_first_not_of(set ? set : "");
    return CString(m_s.substr(0, n));
}

CString CString::SpanExcluding(const char* set) const
{
    const size_t n = m_s.find_first_of(set ? set : "");
    return CString(m_s.substr(0, n));
}

int CString::Find(char c, int start) const
{
    if (start < 0 || start > GetLength())
        return -1;
    const size_t at = m_s.find(c, static_cast<size_t>(start));
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

int CString::Find(const char* sub, int start) const
{
    if (!sub || start < 0 || start > GetLength())
        return -1;
    const size_t at = m_s.find(sub, static_cast<size_t>(start));
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

int CString::ReverseFind(char c) const
{
    const size_t at = m_s.rfind(c);
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

int CString::FindOneOf(const char* set) const
{
    const size_t at = m_s.find_first_of(set ? set : "");
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

CString& CString::MakeLower()
{
    std::transform(m_s.begin(), m_s.end(), m_s.begin(), LowerAscii);
    return *this;
}

CString& CString::MakeUpper()
{
    std::transform(m_s.begin(), m_s.end(), m_s.begin(), UpperAscii);
    return *this;
}

CString& CString::MakeReverse()
{
    std::reverse(m_s.begin(), m_s.end());
    return *this;
}

CString& CString::TrimLeft(const char* set)
{
    m_s.erase(0, std::min(m_s.size(), m_s.find_first_not_of(set)));
    return *this;
}

CString& CString::TrimRight(const char* set)
{
    const size_t last = m_s.find_last_not_of(set);
    m_s.erase(last == std::string::npos ? 0 : last + 1);
    return *this;
}

CString& CString::TrimLeft() { return TrimLeft(kBlanks); }
CString& CString::TrimRight() { return TrimRight(kBlanks); }
CString& CString::TrimLeft(char c) { const char set[2] = {c, '\0'}; return TrimLeft(set); }
CString& CString::TrimRight(char c) { const char set[2] = {c, '\0'}; return TrimRight(set); }
CString& CString::Trim() { return TrimRight().TrimLeft(); }
CString& CString::Trim(char c) { return TrimRight(c).TrimLeft(c); }
CString& CString::Trim(const char* set) { return TrimRight(set).TrimLeft(set); }

int CString::Replace(char from, char to)
{
    int count = 0;
    for (char& c : m_s)
        if (c == from) {
            c = to;
            ++count;
        }
    return count;
}

int CString::Replace(const char* from, const char* to)
{
    if (!from || !*from)
        return 0;
    const std::string f = from, t = to ? to : "";
    int count = 0;
    for (size_t at = m_s.find(f); at != std::string::npos; at = m_s.find(f, at + t.size())) {
        m_s.replace(at, f.size(), t);
        ++count;
    }
    return count;
}

int CString::Remove(char c)
{
    const size_t before = m_s.size();
    std::erase(m_s, c);
    return static_cast<int>(before - m_s.size());
}

int CString::Insert(int index, char c)
{
    m_s.insert(static_cast<size_t>(std::clamp(index, 0, GetLength())), 1, c);
    return GetLength();
}

int CString::Insert(int index, const char* s)
{
    m_s.insert(static_cast<size_t>(std::clamp(index, 0, GetLength())), s ? s : "");
    return GetLength();
}

int CString::Delete(int index, int count)
{
    if (index >= 0 && index < GetLength() && count > 0)
        m_s.erase(static_cast<size_t>(index), static_cast<size_t>(count));
    return GetLength();
}

int CString::Compare(const char* s) const
{
    return std::strcmp(m_s.c_str(), s ? s : "");
}

int CString::CompareNoCase(const char* s) const
{
    const char* a = m_s.c_str();
    const char* b = s ? s : "";
    for (;; ++a, ++b) {
        const int d = static_cast<unsigned char>(LowerAscii(*a)) - static_cast<unsigned char>(LowerAscii(*b));
        if (d != 0 || !*a)
            return d;
    }
}

char* CString::GetBuffer(int minLength)
{
    if (minLength > GetLength())
        m_s.resize(static_cast<size_t>(minLength));
    return m_s.data();
}

char* CString::GetBufferSetLength(int length)
{
    m_s.resize(static_cast<size_t>(std::max(length, 0)));
    return m_s.data();
}

void CString::ReleaseBuffer(int newLength)
{
    if (newLength < 0)
        newLength = static_cast<int>(std::strlen(m_s.c_str()));
    m_s.resize(static_cast<size_t>(std::min(newLength, GetLength())));
}
