#pragma once
// The class library's containers, streams, components and threads.

#include <cstdint>
#include <functional>
#include <thread>
#include <vector>

#include "platform/vcl/Property.h"
#include "platform/vcl/SysUtils.h"

// The root of the class library's objects: what an event handler's
// Sender points to.
class TObject {
public:
    virtual ~TObject() = default;
};

// An event: the handler a component calls with itself as Sender.
using TNotifyEvent = std::function<void(TObject* Sender)>;

// Binds a form's handler method, `Method(this, &TForm1::Button1Click)`.
template <class C> TNotifyEvent Method(C* object, void (C::*handler)(TObject*)) {
    return [object, handler](TObject* sender) { (object->*handler)(sender); };
}

class EListError : public Exception {
public:
    using Exception::Exception;
};
class EStringListError : public Exception {
public:
    using Exception::Exception;
};
class EStreamError : public Exception {
public:
    using Exception::Exception;
};
class EFOpenError : public EStreamError {
public:
    using EStreamError::EStreamError;
};
class EFCreateError : public EStreamError {
public:
    using EStreamError::EStreamError;
};
class EReadError : public EStreamError {
public:
    using EStreamError::EStreamError;
};
class EWriteError : public EStreamError {
public:
    using EStreamError::EStreamError;
};

// A resource (a bitmap of a graphics pack) that its module does not hold.
class EResNotFound : public Exception {
public:
    using Exception::Exception;
};

// The order of two items of a list: negative when Item1 comes first,
// positive when Item2 does, 0 when either may.
using TListSortCompare = int (*)(void* Item1, void* Item2);

// A list of untyped pointers; it owns nothing.
class TList : public TObject {
public:
    TList();
    TList(const TList&) = delete;
    TList& operator=(const TList&) = delete;
    ~TList() override = default;

    int Add(void* item);
    void Insert(int index, void* item);
    void Delete(int index);
    int Remove(void* item);
    int IndexOf(void* item) const;
    void Clear();
    void* First() const;
    void* Last() const;
    // An unstable sort: items that compare equal may change places.
    void Sort(TListSortCompare Compare);

    ReadOnlyProperty<int> Count;
    IndexedProperty<void*> Items;

private:
    void CheckIndex(int index) const;
    std::vector<void*> list_;
};

// A list of texts. Text joins the lines with CR LF after each; setting it
// splits at CR LF, CR or LF.
class TStrings : public TObject {
public:
    TStrings();
    TStrings(const TStrings&) = delete;
    TStrings& operator=(const TStrings&) = delete;
    ~TStrings() override = default;

    virtual int Add(const AnsiString& text);
    virtual void Insert(int index, const AnsiString& text) = 0;
    virtual void Delete(int index) = 0;
    virtual void Clear() = 0;
    int IndexOf(const AnsiString& text) const;
    void Assign(const TStrings& source);
    void AddStrings(const TStrings& source);
    virtual void LoadFromFile(const AnsiString& fileName);
    virtual void SaveToFile(const AnsiString& fileName) const;

    Property<AnsiString> Text;
    ReadOnlyProperty<int> Count;
    IndexedProperty<AnsiString> Strings;

protected:
    virtual AnsiString Get(int index) const = 0;
    virtual void Put(int index, const AnsiString& text) = 0;
    virtual int GetCount() const = 0;
    virtual AnsiString GetTextStr() const;
    virtual void SetTextStr(const AnsiString& text);
};

class TStringList : public TStrings {
public:
    TStringList() = default;

    void Insert(int index, const AnsiString& text) override;
    void Delete(int index) override;
    void Clear() override;
    AnsiString& operator[](int index);
    const AnsiString& operator[](int index) const;

protected:
    AnsiString Get(int index) const override;
    void Put(int index, const AnsiString& text) override;
    int GetCount() const override;

private:
    void CheckIndex(int index) const;
    std::vector<AnsiString> list_;
};

enum TSeekOrigin { soFromBeginning = 0, soFromCurrent = 1, soFromEnd = 2 };

class TStream : public TObject {
public:
    TStream();
    TStream(const TStream&) = delete;
    TStream& operator=(const TStream&) = delete;
    ~TStream() override = default;

    virtual int Read(void* buffer, int count) = 0;
    virtual int Write(const void* buffer, int count) = 0;
    virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;
    void ReadBuffer(void* buffer, int count);
    void WriteBuffer(const void* buffer, int count);
    int64_t CopyFrom(TStream& source, int64_t count);

    Property<int64_t> Position;
    Property<int64_t> Size;

protected:
    virtual void SetSize(int64_t size) = 0;
};

// Open modes and sharing flags of TFileStream.
constexpr uint16_t fmCreate = 0xFF00;
constexpr uint16_t fmOpenRead = 0x0000;
constexpr uint16_t fmOpenWrite = 0x0001;
constexpr uint16_t fmOpenReadWrite = 0x0002;
constexpr uint16_t fmShareExclusive = 0x0010;
constexpr uint16_t fmShareDenyWrite = 0x0020;
constexpr uint16_t fmShareDenyNone = 0x0040;

class TFileStream : public TStream {
public:
    // Raises EFCreateError or EFOpenError when the file cannot be had.
    TFileStream(const AnsiString& fileName, uint16_t mode);
    ~TFileStream() override;

    int Read(void* buffer, int count) override;
    int Write(const void* buffer, int count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;

    const AnsiString FileName;

protected:
    void SetSize(int64_t size) override;

private:
    int handle_;
};

class TMemoryStream : public TStream {
public:
    TMemoryStream() = default;

    int Read(void* buffer, int count) override;
    int Write(const void* buffer, int count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    void Clear();
    void LoadFromStream(TStream& source);
    void LoadFromFile(const AnsiString& fileName);
    void SaveToFile(const AnsiString& fileName);
    uint8_t* Memory() { return data_.data(); }

protected:
    void SetSize(int64_t size) override;

private:
    std::vector<uint8_t> data_;
    int64_t position_ = 0;
};

// Base of every component: it has a Name, a Tag and an Owner, and owns the
// components created with it as their owner, freeing them (last first)
// when it is freed.
class TComponent : public TObject {
public:
    explicit TComponent(TComponent* AOwner);
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;
    ~TComponent() override;

    void InsertComponent(TComponent* component);
    void RemoveComponent(TComponent* component);
    TComponent* FindComponent(const AnsiString& name) const;

    AnsiString Name;
    int Tag = 0;
    ReadOnlyProperty<TComponent*> Owner;
    ReadOnlyProperty<int> ComponentCount;
    IndexedProperty<TComponent*> Components;

private:
    TComponent* owner_ = nullptr;
    std::vector<TComponent*> components_;
};

// A thread that runs Execute once. It is created suspended (a thread that
// started in the base constructor could run before its derived part
// exists); Resume starts it, and the owner waits with WaitFor.
class TThread : public TObject {
public:
    TThread() = default;
    TThread(const TThread&) = delete;
    TThread& operator=(const TThread&) = delete;
    ~TThread() override;

    void Resume();
    void Terminate() { terminated_ = true; }
    void WaitFor();
    bool Terminated() const { return terminated_; }

protected:
    virtual void Execute() = 0;

private:
    std::thread thread_;
    bool terminated_ = false;
};
