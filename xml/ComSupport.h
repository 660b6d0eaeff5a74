// Owning wrappers for COM and OLE Automation resources, and the rule that a
// failed HRESULT raises _com_error. Windows only; the exception does not
// leave the XML layer.
#pragma once

#include <windows.h>

#include <comdef.h>
#include <oleauto.h>

#include <string>
#include <string_view>
#include <utility>

inline void check(HRESULT result)
{
    if (FAILED(result))
        throw _com_error(result);
}

template <class Interface>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() { reset(); }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : pointer(std::exchange(other.pointer, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept
    {
        if (this != &other) {
            reset();
            pointer = std::exchange(other.pointer, nullptr);
        }
        return *this;
    }

    Interface* get() const { return pointer; }
    Interface* operator->() const { return pointer; }
    explicit operator bool() const { return pointer != nullptr; }

    // For out-parameters: releases what is held first.
    Interface** put()
    {
        reset();
        return &pointer;
    }
    void** putVoid() { return reinterpret_cast<void**>(put()); }

    void reset()
    {
        if (pointer)
            std::exchange(pointer, nullptr)->Release();
    }

private:
    Interface* pointer = nullptr;
};

class Bstr {
public:
    Bstr() = default;
    explicit Bstr(const std::wstring& text)
        : string(SysAllocStringLen(text.data(), static_cast<UINT>(text.size())))
    {
        if (!string)
            throw _com_error(E_OUTOFMEMORY);
    }
    ~Bstr() { SysFreeString(string); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;

    BSTR get() const { return string; }
    BSTR* put()
    {
        reset();
        return &string;
    }
    void reset() { SysFreeString(std::exchange(string, nullptr)); }
    std::wstring_view view() const { return std::wstring_view(string, SysStringLen(string)); }

private:
    BSTR string = nullptr;
};

class Variant {
public:
    Variant() { VariantInit(&value); }
    ~Variant() { VariantClear(&value); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;

    VARIANT* get() { return &value; }

private:
    VARIANT value;
};

// COM for the current thread, for the lifetime of the object; uninitialised
// only when the initialisation succeeded.
class ComApartment {
public:
    ComApartment() : result(CoInitialize(nullptr)) {}
    ~ComApartment()
    {
        if (SUCCEEDED(result))
            CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

    bool ready() const { return SUCCEEDED(result); }

private:
    HRESULT result;
};
