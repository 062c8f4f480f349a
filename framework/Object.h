// The root of the framework's class tree: a runtime class record per class, so that code
// can ask an object's class (IsKindOf) and create objects from a class record (the grid
// makes its cells from a configurable cell class this way).
#pragma once

#include <new>

class CObject;

struct CRuntimeClass {
    const char* m_lpszClassName;
    int m_nObjectSize;
    CObject* (*m_pfnCreateObject)();     // null when the class is not creatable
    const CRuntimeClass* m_pBaseClass;   // null for CObject

    // A new object of this class, or null when the class is not creatable or memory ran out.
    CObject* CreateObject() const;
    bool IsDerivedFrom(const CRuntimeClass* base) const;
    bool IsCreatable() const { return m_pfnCreateObject != nullptr; }
};

class CObject {
public:
    virtual ~CObject() = default;
    virtual const CRuntimeClass* GetRuntimeClass() const;
    bool IsKindOf(const CRuntimeClass* cls) const;

    static const CRuntimeClass classCObject;

protected:
    CObject() = default;
};

#define RUNTIME_CLASS(name) (&name::class##name)

#define DECLARE_DYNAMIC(name)                  \
public:                                        \
    static const CRuntimeClass class##name;    \
    const CRuntimeClass* GetRuntimeClass() const override;

#define DECLARE_DYNCREATE(name) \
    DECLARE_DYNAMIC(name)       \
    static CObject* CreateObject();

#define IMPLEMENT_RUNTIMECLASS_(name, base, create)                                         \
    const CRuntimeClass name::class##name = {#name, sizeof(name), create, RUNTIME_CLASS(base)}; \
    const CRuntimeClass* name::GetRuntimeClass() const { return RUNTIME_CLASS(name); }

#define IMPLEMENT_DYNAMIC(name, base) IMPLEMENT_RUNTIMECLASS_(name, base, nullptr)

#define IMPLEMENT_DYNCREATE(name, base)                                     \
    CObject* name::CreateObject() { return new (std::nothrow) name; }        \
    IMPLEMENT_RUNTIMECLASS_(name, base, &name::CreateObject)
