#pragma once
// Properties in the style of the GUI class library: a member that reads and
// writes like a field (`Timer->Enabled = false`, `Panel->Text += "*"`) but
// runs its owner's getter and setter. Owners are not copyable, so the
// getters and setters may capture `this`.

#include <functional>
#include <stdexcept>
#include <type_traits>
#include <utility>

template <class T> class ReadOnlyProperty {
public:
    using value_type = T;
    explicit ReadOnlyProperty(std::function<T()> get) : get_(std::move(get)) {}
    ReadOnlyProperty(const ReadOnlyProperty&) = delete;
    ReadOnlyProperty& operator=(const ReadOnlyProperty&) = delete;

    operator T() const { return get_(); }
    // Explicit read, for member access: `Caption().size()`.
    T operator()() const { return get_(); }
    // Pointer-valued properties reach through: `Owner->Name`.
    T operator->() const requires std::is_pointer_v<T> { return get_(); }

private:
    std::function<T()> get_;
};

template <class T> class Property : public ReadOnlyProperty<T> {
public:
    Property(std::function<T()> get, std::function<void(const T&)> set)
        : ReadOnlyProperty<T>(std::move(get)), set_(std::move(set)) {}

    Property& operator=(const T& value) {
        set_(value);
        return *this;
    }
    Property& operator=(const Property& other) { return *this = T(other); }
    template <class U> Property& operator+=(const U& value) { return *this = T((*this)() + value); }
    template <class U> Property& operator-=(const U& value) { return *this = T((*this)() - value); }

private:
    std::function<void(const T&)> set_;
};

// An array property: `List->Strings[i] = "x"`, `Panels->Items[0]->Text`.
template <class T> class IndexedProperty {
public:
    using value_type = T;
    IndexedProperty(std::function<T(int)> get, std::function<void(int, const T&)> set = nullptr)
        : get_(std::move(get)), set_(std::move(set)) {}
    IndexedProperty(const IndexedProperty&) = delete;
    IndexedProperty& operator=(const IndexedProperty&) = delete;

    class Element {
    public:
        using value_type = T;
        Element(const IndexedProperty& owner, int index) : owner_(owner), index_(index) {}
        operator T() const { return owner_.get_(index_); }
        T operator()() const { return owner_.get_(index_); }
        // Pointer-valued elements reach through: `Items[0]->Text`.
        T operator->() const requires std::is_pointer_v<T> { return owner_.get_(index_); }
        Element& operator=(const T& value) {
            if (!owner_.set_)
                throw std::logic_error("write to a read-only indexed property");
            owner_.set_(index_, value);
            return *this;
        }
        Element& operator=(const Element& other) { return *this = T(other); }

    private:
        const IndexedProperty& owner_;
        int index_;
    };

    Element operator[](int index) const { return Element(*this, index); }

private:
    std::function<T(int)> get_;
    std::function<void(int, const T&)> set_;
};

// Arithmetic and comparison on properties act on their values, so
// `Caption + "x"` and `Text == ""` work for strings as for numbers.
template <class P>
concept PropertyLike = requires {
    typename P::value_type;
}
&&requires(const P& p) {
    { p() } -> std::convertible_to<typename P::value_type>;
};

template <PropertyLike P, class U>
requires(!PropertyLike<U>) auto operator+(const P& p, const U& u) -> decltype(p() + u) {
    return p() + u;
}
template <PropertyLike P, class U>
requires(!PropertyLike<U>) auto operator+(const U& u, const P& p) -> decltype(u + p()) {
    return u + p();
}
template <PropertyLike P, PropertyLike Q>
auto operator+(const P& p, const Q& q) -> decltype(p() + q()) {
    return p() + q();
}
template <PropertyLike P, class U>
requires(!PropertyLike<U>) auto operator-(const P& p, const U& u) -> decltype(p() - u) {
    return p() - u;
}
template <PropertyLike P, class U>
requires(!PropertyLike<U>) auto operator==(const P& p, const U& u) -> decltype(p() == u) {
    return p() == u;
}
template <PropertyLike P, PropertyLike Q>
auto operator==(const P& p, const Q& q) -> decltype(p() == q()) {
    return p() == q();
}
template <PropertyLike P, class U>
requires(!PropertyLike<U>) auto operator<(const P& p, const U& u) -> decltype(p() < u) {
    return p() < u;
}
template <PropertyLike P, class U>
requires(!PropertyLike<U>) auto operator>(const P& p, const U& u) -> decltype(p() > u) {
    return p() > u;
}
