// CString: the string class window code uses, on std::string (UTF-8 bytes).
#pragma once

#include "platform/win/WinTypes.h"

#include <string>

class CString {
public:
    CString() = default;
    CString(const char* s) : m_s(s ? s : "") {}
    CString(const char* s, int n) : m_s(s ? std::string(s, static_cast<size_t>(n)) : std::string()) {}
    CString(char c, int repeat = 1) : m_s(static_cast<size_t>(repeat > 0 ? repeat : 0), c) {}
    CString(const std::string& s) : m_s(s) {}

    int GetLength() const { return static_cast<int>(m_s.size()); }
    bool IsEmpty() const { return m_s.empty(); }
    void Empty() { m_s.clear(); }
    char GetAt(int i) const { return m_s[static_cast<size_t>(i)]; }
    void SetAt(int i, char c) { m_s[static_cast<size_t>(i)] = c; }
    char operator[](int i) const { return GetAt(i); }
    operator LPCSTR() const { return m_s.c_str(); }
    LPCSTR GetString() const { return m_s.c_str(); }
    const std::string& str() const { return m_s; }

    // printf formatting; the result replaces the contents.
    void Format(const char* fmt, ...) __attribute__((format(printf, 2, 3)));
    void AppendFormat(const char* fmt, ...) __attribute__((format(printf, 2, 3)));
    // The string of the resource id from the current resource tables.
    BOOL LoadString(UINT id);

    CString Left(int n) const;
    CString Right(int n) const;
    CString Mid(int first) const;
    CString Mid(int first, int n) const;
    CString SpanIncluding(const char* set) const;
    CString SpanExcluding(const char* set) const;
    int Find(char c, int start = 0) const;
    int Find(const char* sub, int start = 0) const;
    int ReverseFind(char c) const;
    int FindOneOf(const char* set) const;
    // ASCII case only, as the code compares file extensions and keys.
    CString& MakeLower();
    CString& MakeUpper();
    CString& MakeReverse();
    CString& Trim();
    CString& Trim(char c);
    CString& Trim(const char* set);
    CString& TrimLeft();
    CString& TrimLeft(char c);
    CString& TrimLeft(const char* set);
    CString& TrimRight();
    CString& TrimRight(char c);
    CString& TrimRight(const char* set);
    int Replace(char from, char to);
    int Replace(const char* from, const char* to);
    int Remove(char c);
    int Insert(int index, char c);
    int Insert(int index, const char* s);
    int Delete(int index, int count = 1);
    int Compare(const char* s) const;
    int CompareNoCase(const char* s) const;

    // A writable buffer of at least minLength chars; ReleaseBuffer(-1) takes
    // the length from the first NUL.
    char* GetBuffer(int minLength = 0);
    char* GetBufferSetLength(int length);
    void ReleaseBuffer(int newLength = -1);

    CString& operator=(const char* s) { m_s = s ? s : ""; return *this; }
    CString& operator=(char c) { m_s.assign(1, c); return *this; }
    CString& operator+=(const CString& s) { m_s += s.m_s; return *this; }
    CString& operator+=(const char* s) { if (s) m_s += s; return *this; }
    CString& operator+=(char c) { m_s += c; return *this; }

    friend CString operator+(const CString& a, const CString& b) { return CString(a.m_s + b.m_s); }
    friend CString operator+(const CString& a, const char* b) { return CString(a.m_s + (b ? b : "")); }
    friend CString operator+(const char* a, const CString& b) { return CString((a ? a : "") + b.m_s); }
    friend CString operator+(const CString& a, char b) { return CString(a.m_s + b); }
    friend CString operator+(char a, const CString& b) { return CString(a + b.m_s); }
    friend bool operator==(const CString& a, const CString& b) { return a.m_s == b.m_s; }
    friend bool operator==(const CString& a, const char* b) { return a.m_s == (b ? b : ""); }
    friend bool operator==(const char* a, const CString& b) { return b == a; }
    friend bool operator!=(const CString& a, const CString& b) { return !(a == b); }
    friend bool operator!=(const CString& a, const char* b) { return !(a == b); }
    friend bool operator!=(const char* a, const CString& b) { return !(b == a); }
    friend bool operator<(const CString& a, const CString& b) { return a.m_s < b.m_s; }
    friend bool operator>(const CString& a, const CString& b) { return b.m_s < a.m_s; }
    friend bool operator<=(const CString& a, const CString& b) { return !(b.m_s < a.m_s); }
    friend bool operator>=(const CString& a, const CString& b) { return !(a.m_s < b.m_s); }

private:
    std::string m_s;
};
