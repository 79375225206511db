#pragma once
// Published properties: per class, a table of property name, kind and typed
// get/set. The window-definition reader creates components by class name and
// sets their properties through these tables; anything that reads or writes a
// property by name (the state store, scripts) uses them too.
//
// Registering a class:
//
//   Published<TButton>("TButton", "TWinControl")
//       .Str("Caption", &TButton::GetCaption, &TButton::SetCaption)
//       .Int("Left", &TControl::GetLeft, &TControl::SetLeft)
//       .Enum("Align", {"alNone", "alTop", ...}, &TControl::GetAlign, &TControl::SetAlign)
//       .Event("OnClick", &TControl::OnClick);
//
// Getters and setters may be member functions or data members.

#include <any>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <map>
#include <string>
#include <type_traits>
#include <typeindex>
#include <vector>

#include "Classes.h"

enum TPropKind { pkInteger, pkFloat, pkString, pkBool, pkEnum, pkSet, pkClass, pkEvent };

struct TPropInfo {
    std::string Name;
    TPropKind Kind = pkInteger;
    std::vector<std::string> EnumNames;       // pkEnum values, pkSet members, in ordinal order
    std::function<int64_t(TObject*)> GetOrd;  // pkInteger, pkBool, pkEnum, pkSet (bits)
    std::function<void(TObject*, int64_t)> SetOrd;
    std::function<long double(TObject*)> GetFloat;
    std::function<void(TObject*, long double)> SetFloat;
    std::function<std::string(TObject*)> GetStr;
    std::function<void(TObject*, const std::string&)> SetStr;
    std::function<TPersistent*(TObject*)> GetObject;          // pkClass
    std::function<void(TObject*, TPersistent*)> SetObject;    // pkClass reference (component link)
    std::function<void(TObject*, const std::any&)> SetEvent;  // pkEvent; raises EPropertyError on a mismatch
    bool ReadOnly() const;
};

struct TClassInfo {
    std::string Name;
    const TClassInfo* Parent = nullptr;
    std::function<TComponent*(TComponent* owner)> Create;  // empty for classes not created by name
    std::vector<TPropInfo> Props;

    // Searches this class and its ancestors, without regard to case.
    const TPropInfo* FindProp(const std::string& name) const;
    bool InheritsFrom(const std::string& className) const;
};

// The class registry.
TClassInfo& RegisterClassInfo(const std::string& name, const std::string& parentName, std::type_index type);
const TClassInfo* FindClassInfo(const std::string& name);
const TClassInfo* ClassInfoOf(const TObject* obj);  // by dynamic type; nullptr when unregistered
// The name when that class is registered, else the fallback: a parent for a
// class whose registration may run before or without its base's.
std::string ParentIfRegistered(const std::string& name, const std::string& fallback = "");
std::vector<std::string> RegisteredClassNames();

// Reading and writing by name. A path may step through object properties:
// "Font.Name", "mnuFileReopen.Enabled" (the first step may name a component
// owned by root). Values travel as text: numbers in plain decimal, enums by
// name, sets as "[a,b]", Booleans "True"/"False". Unknown names raise EPropertyError.
std::string GetPropText(TObject* root, const std::string& path);
void SetPropText(TObject* root, const std::string& path, const std::string& value);
// Resolves the object and property a path names.
const TPropInfo* ResolvePropPath(TObject* root, const std::string& path, TObject*& target);

std::string SetToText(const TPropInfo& prop, int64_t bits);
int64_t TextToSet(const TPropInfo& prop, const std::string& text);
int EnumIndex(const TPropInfo& prop, const std::string& name);  // -1 when absent

namespace typinfo_detail {

template <typename T, typename G>
decltype(auto) Get(T* obj, G get) {
    if constexpr (std::is_member_object_pointer_v<G>)
        return (obj->*get);
    else
        return (obj->*get)();
}

template <typename T, typename S, typename V>
void Set(T* obj, S set, V&& value) {
    if constexpr (std::is_member_object_pointer_v<S>) {
        using F = std::remove_reference_t<decltype(obj->*set)>;
        obj->*set = static_cast<F>(value);
    } else {
        (obj->*set)(std::forward<V>(value));
    }
}

template <typename T>
T* Cast(TObject* obj) {
    T* t = dynamic_cast<T*>(obj);
    if (!t) throw EPropertyError("Property applied to an object of another class");
    return t;
}

}  // namespace typinfo_detail

template <typename T>
class Published {
public:
    Published(const std::string& name, const std::string& parentName)
        : info_(RegisterClassInfo(name, parentName, typeid(T))) {
        if constexpr (std::is_constructible_v<T, TComponent*>)
            info_.Create = [](TComponent* owner) -> TComponent* { return new T(owner); };
    }

    template <typename G, typename S>
    Published& Int(const std::string& name, G get, S set) {
        TPropInfo& p = Add(name, pkInteger);
        p.GetOrd = [get](TObject* o) {
            return static_cast<int64_t>(typinfo_detail::Get(typinfo_detail::Cast<T>(o), get));
        };
        if constexpr (!std::is_same_v<S, std::nullptr_t>)
            p.SetOrd = [set](TObject* o, int64_t v) { SetNumber(typinfo_detail::Cast<T>(o), set, v); };
        return *this;
    }

    template <typename G, typename S>
    Published& Bool(const std::string& name, G get, S set) {
        TPropInfo& p = Add(name, pkBool);
        p.EnumNames = {"False", "True"};
        p.GetOrd = [get](TObject* o) {
            return static_cast<int64_t>(bool(typinfo_detail::Get(typinfo_detail::Cast<T>(o), get)));
        };
        if constexpr (!std::is_same_v<S, std::nullptr_t>)
            p.SetOrd = [set](TObject* o, int64_t v) { typinfo_detail::Set(typinfo_detail::Cast<T>(o), set, v != 0); };
        return *this;
    }

    template <typename G, typename S>
    Published& Float(const std::string& name, G get, S set) {
        TPropInfo& p = Add(name, pkFloat);
        p.GetFloat = [get](TObject* o) {
            return static_cast<long double>(typinfo_detail::Get(typinfo_detail::Cast<T>(o), get));
        };
        if constexpr (!std::is_same_v<S, std::nullptr_t>)
            p.SetFloat = [set](TObject* o, long double v) { SetNumber(typinfo_detail::Cast<T>(o), set, v); };
        return *this;
    }

    template <typename G, typename S>
    Published& Str(const std::string& name, G get, S set) {
        TPropInfo& p = Add(name, pkString);
        p.GetStr = [get](TObject* o) { return std::string(typinfo_detail::Get(typinfo_detail::Cast<T>(o), get)); };
        if constexpr (!std::is_same_v<S, std::nullptr_t>)
            p.SetStr = [set](TObject* o, const std::string& v) {
                typinfo_detail::Set(typinfo_detail::Cast<T>(o), set, v);
            };
        return *this;
    }

    // An enumeration; names in ordinal order.
    template <typename G, typename S>
    Published& Enum(const std::string& name, std::initializer_list<const char*> names, G get, S set) {
        TPropInfo& p = Add(name, pkEnum);
        p.EnumNames.assign(names.begin(), names.end());
        p.GetOrd = [get](TObject* o) {
            return static_cast<int64_t>(typinfo_detail::Get(typinfo_detail::Cast<T>(o), get));
        };
        if constexpr (!std::is_same_v<S, std::nullptr_t>)
            p.SetOrd = [set](TObject* o, int64_t v) { SetEnum(typinfo_detail::Cast<T>(o), set, v); };
        return *this;
    }

    // A Set<E> property; member names in ordinal order.
    template <typename G, typename S>
    Published& SetOf(const std::string& name, std::initializer_list<const char*> names, G get, S set) {
        TPropInfo& p = Add(name, pkSet);
        p.EnumNames.assign(names.begin(), names.end());
        p.GetOrd = [get](TObject* o) {
            return static_cast<int64_t>(typinfo_detail::Get(typinfo_detail::Cast<T>(o), get).Bits());
        };
        if constexpr (!std::is_same_v<S, std::nullptr_t>)
            p.SetOrd = [set](TObject* o, int64_t v) { SetBits(typinfo_detail::Cast<T>(o), set, v); };
        return *this;
    }

    // A nested object (Font, Items, Pen): its own properties are set through it.
    template <typename G>
    Published& Object(const std::string& name, G get) {
        TPropInfo& p = Add(name, pkClass);
        p.GetObject = [get](TObject* o) -> TPersistent* {
            return AsPersistent(typinfo_detail::Get(typinfo_detail::Cast<T>(o), get));
        };
        return *this;
    }

    // A link to another component, written by name (PopupMenu = pmCalc).
    template <typename R, typename G, typename S>
    Published& Reference(const std::string& name, G get, S set) {
        TPropInfo& p = Add(name, pkClass);
        p.GetObject = [get](TObject* o) -> TPersistent* {
            return AsPersistent(typinfo_detail::Get(typinfo_detail::Cast<T>(o), get));
        };
        p.SetObject = [set](TObject* o, TPersistent* v) {
            R* r = nullptr;
            if (v) {
                r = dynamic_cast<R*>(v);
                if (!r) throw EPropertyError("Invalid property value");
            }
            typinfo_detail::Set(typinfo_detail::Cast<T>(o), set, r);
        };
        return *this;
    }

    // An event: a std::function member bound to a handler of the same type.
    template <typename F>
    Published& Event(const std::string& name, F T::*member) {
        TPropInfo& p = Add(name, pkEvent);
        std::string propName = name;
        p.SetEvent = [member, propName](TObject* o, const std::any& handler) {
            const F* f = std::any_cast<F>(&handler);
            if (!f) throw EPropertyError("Handler of the wrong type for " + propName);
            typinfo_detail::Cast<T>(o)->*member = *f;
        };
        return *this;
    }

    TClassInfo& Info() { return info_; }

private:
    TClassInfo& info_;

    TPropInfo& Add(const std::string& name, TPropKind kind) {
        info_.Props.push_back(TPropInfo{});
        TPropInfo& p = info_.Props.back();
        p.Name = name;
        p.Kind = kind;
        return p;
    }

    template <typename S, typename V>
    static void SetNumber(T* obj, S set, V v) {
        if constexpr (std::is_member_object_pointer_v<S>) {
            typinfo_detail::Set(obj, set, v);
        } else {
            using Arg = std::remove_cvref_t<typename MemberArg<S>::type>;
            (obj->*set)(static_cast<Arg>(v));
        }
    }

    template <typename S>
    static void SetEnum(T* obj, S set, int64_t v) {
        SetNumber(obj, set, v);
    }

    template <typename S>
    static void SetBits(T* obj, S set, int64_t v) {
        if constexpr (std::is_member_object_pointer_v<S>) {
            using F = std::remove_reference_t<decltype(obj->*set)>;
            obj->*set = F::FromBits(static_cast<uint64_t>(v));
        } else {
            using Arg = std::remove_cvref_t<typename MemberArg<S>::type>;
            (obj->*set)(Arg::FromBits(static_cast<uint64_t>(v)));
        }
    }

    template <typename M>
    struct MemberArg;
    template <typename C, typename R, typename A>
    struct MemberArg<R (C::*)(A)> {
        using type = A;
    };

    template <typename P>
    static TPersistent* AsPersistent(P* p) {
        return ToPersistent(p);
    }
    template <typename P>
    static TPersistent* AsPersistent(P& p) {
        return ToPersistent(&p);
    }

    template <typename P>
    static TPersistent* ToPersistent(P* p) {
        if constexpr (std::is_convertible_v<P*, TPersistent*>)
            return p;
        else
            return nullptr;
    }
};
