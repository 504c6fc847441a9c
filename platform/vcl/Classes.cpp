#include "platform/vcl/Classes.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

// ---- TList ----

TList::TList()
    : Count([this] { return static_cast<int>(list_.size()); }),
      Items([this](int i) { return CheckIndex(i), list_[i]; },
            [this](int i, void* const& item) { CheckIndex(i), list_[i] = item; }) {}

void TList::CheckIndex(int index) const {
    if (index < 0 || index >= static_cast<int>(list_.size()))
        throw EListError("List index out of bounds (" + IntToStr(index) + ")");
}

int TList::Add(void* item) {
    list_.push_back(item);
    return static_cast<int>(list_.size()) - 1;
}

void TList::Insert(int index, void* item) {
    if (index < 0 || index > static_cast<int>(list_.size()))
        throw EListError("List index out of bounds (" + IntToStr(index) + ")");
    list_.insert(list_.begin() + index, item);
}

void TList::Delete(int index) {
    CheckIndex(index);
    list_.erase(list_.begin() + index);
}

int TList::Remove(void* item) {
    const int index = IndexOf(item);
    if (index >= 0)
        Delete(index);
    return index;
}

int TList::IndexOf(void* item) const {
    const auto found = std::find(list_.begin(), list_.end(), item);
    return found == list_.end() ? -1 : static_cast<int>(found - list_.begin());
}

void TList::Clear() {
    list_.clear();
}
void* TList::First() const {
    return CheckIndex(0), list_.front();
}
void* TList::Last() const {
    return CheckIndex(0), list_.back();
}

void TList::Sort(TListSortCompare Compare) {
    std::sort(list_.begin(), list_.end(),
              [Compare](void* a, void* b) { return Compare(a, b) < 0; });
}

// ---- TStrings ----

TStrings::TStrings()
    : Text([this] { return GetTextStr(); }, [this](const AnsiString& t) { SetTextStr(t); }),
      Count([this] { return GetCount(); }),
      Strings([this](int i) { return Get(i); }, [this](int i, const AnsiString& t) { Put(i, t); }) {
}

int TStrings::Add(const AnsiString& text) {
    const int index = GetCount();
    Insert(index, text);
    return index;
}

int TStrings::IndexOf(const AnsiString& text) const {
    for (int i = 0; i < GetCount(); ++i)
        if (Get(i) == text)
            return i;
    return -1;
}

void TStrings::Assign(const TStrings& source) {
    if (&source == this)
        return;
    Clear();
    AddStrings(source);
}

void TStrings::AddStrings(const TStrings& source) {
    const int count = source.GetCount();
    for (int i = 0; i < count; ++i)
        Add(source.Get(i));
}

AnsiString TStrings::GetTextStr() const {
    AnsiString text;
    for (int i = 0; i < GetCount(); ++i)
        text += Get(i) + "\r\n";
    return text;
}

void TStrings::SetTextStr(const AnsiString& text) {
    Clear();
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == AnsiString::npos)
            end = text.size();
        Add(text.substr(start, end - start));
        if (end < text.size() && text[end] == '\r')
            ++end;
        if (end < text.size() && text[end] == '\n')
            ++end;
        start = end;
    }
}

void TStrings::LoadFromFile(const AnsiString& fileName) {
    TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
    AnsiString text(static_cast<size_t>(stream.Size), '\0');
    stream.ReadBuffer(text.data(), static_cast<int>(text.size()));
    SetTextStr(text);
}

void TStrings::SaveToFile(const AnsiString& fileName) const {
    TFileStream stream(fileName, fmCreate);
    const AnsiString text = GetTextStr();
    stream.WriteBuffer(text.data(), static_cast<int>(text.size()));
}

// ---- TStringList ----

void TStringList::CheckIndex(int index) const {
    if (index < 0 || index >= static_cast<int>(list_.size()))
        throw EStringListError("List index out of bounds (" + IntToStr(index) + ")");
}

void TStringList::Insert(int index, const AnsiString& text) {
    if (index < 0 || index > static_cast<int>(list_.size()))
        throw EStringListError("List index out of bounds (" + IntToStr(index) + ")");
    list_.insert(list_.begin() + index, text);
}

void TStringList::Delete(int index) {
    CheckIndex(index);
    list_.erase(list_.begin() + index);
}

void TStringList::Clear() {
    list_.clear();
}

AnsiString& TStringList::operator[](int index) {
    CheckIndex(index);
    return list_[index];
}

const AnsiString& TStringList::operator[](int index) const {
    CheckIndex(index);
    return list_[index];
}

AnsiString TStringList::Get(int index) const {
    return (*this)[index];
}
void TStringList::Put(int index, const AnsiString& text) {
    (*this)[index] = text;
}
int TStringList::GetCount() const {
    return static_cast<int>(list_.size());
}

// ---- TStream ----

TStream::TStream()
    : Position([this] { return Seek(0, soFromCurrent); },
               [this](const int64_t& p) { Seek(p, soFromBeginning); }),
      Size(
          [this] {
              const int64_t here = Seek(0, soFromCurrent);
              const int64_t size = Seek(0, soFromEnd);
              Seek(here, soFromBeginning);
              return size;
          },
          [this](const int64_t& s) { SetSize(s); }) {}

void TStream::ReadBuffer(void* buffer, int count) {
    if (count != 0 && Read(buffer, count) != count)
        throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* buffer, int count) {
    if (count != 0 && Write(buffer, count) != count)
        throw EWriteError("Stream write error");
}

int64_t TStream::CopyFrom(TStream& source, int64_t count) {
    if (count == 0) {
        source.Position = 0;
        count = source.Size;
    }
    char buffer[65536];
    int64_t left = count;
    while (left > 0) {
        const int chunk = static_cast<int>(std::min<int64_t>(left, sizeof buffer));
        source.ReadBuffer(buffer, chunk);
        WriteBuffer(buffer, chunk);
        left -= chunk;
    }
    return count;
}

// ---- TFileStream ----

namespace {

AnsiString SystemErrorText() {
    return std::strerror(errno);
}

int OpenFile(const AnsiString& fileName, uint16_t mode) {
    if (mode == fmCreate) {
        // A created file is held exclusively while it is open, so a second
        // program creating the same file fails instead of truncating it
        // under the first one's feet.
        const int handle = open(fileName.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (handle < 0)
            throw EFCreateError("Cannot create file \"" + fileName + "\". " + SystemErrorText());
        if (flock(handle, LOCK_EX | LOCK_NB) != 0 || ftruncate(handle, 0) != 0) {
            const AnsiString reason =
                errno == EWOULDBLOCK ? "The file is in use." : SystemErrorText();
            close(handle);
            throw EFCreateError("Cannot create file \"" + fileName + "\". " + reason);
        }
        return handle;
    }
    const int access = mode & 3;
    const int flags = access == fmOpenWrite       ? O_WRONLY
                      : access == fmOpenReadWrite ? O_RDWR
                                                  : O_RDONLY;
    const int handle = open(fileName.c_str(), flags | O_CLOEXEC);
    if (handle < 0)
        throw EFOpenError("Cannot open file \"" + fileName + "\". " + SystemErrorText());
    const int share = mode & 0xF0;
    if (share == fmShareExclusive && flock(handle, LOCK_EX | LOCK_NB) != 0) {
        close(handle);
        throw EFOpenError("Cannot open file \"" + fileName + "\". The file is in use.");
    }
    return handle;
}

} // namespace

TFileStream::TFileStream(const AnsiString& fileName, uint16_t mode)
    : FileName(fileName), handle_(OpenFile(fileName, mode)) {}

TFileStream::~TFileStream() {
    close(handle_);
}

int TFileStream::Read(void* buffer, int count) {
    const ssize_t n = read(handle_, buffer, static_cast<size_t>(count));
    return n < 0 ? 0 : static_cast<int>(n);
}

int TFileStream::Write(const void* buffer, int count) {
    const ssize_t n = write(handle_, buffer, static_cast<size_t>(count));
    return n < 0 ? 0 : static_cast<int>(n);
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin) {
    const int whence = origin == soFromBeginning ? SEEK_SET
                       : origin == soFromCurrent ? SEEK_CUR
                                                 : SEEK_END;
    return lseek(handle_, offset, whence);
}

void TFileStream::SetSize(int64_t size) {
    if (ftruncate(handle_, size) != 0)
        throw EStreamError("Cannot set the size of \"" + FileName + "\". " + SystemErrorText());
}

// ---- TMemoryStream ----

int TMemoryStream::Read(void* buffer, int count) {
    const int64_t available = static_cast<int64_t>(data_.size()) - position_;
    const int n = static_cast<int>(std::clamp<int64_t>(available, 0, count));
    if (n > 0)
        std::memcpy(buffer, data_.data() + position_, static_cast<size_t>(n));
    position_ += n;
    return n;
}

int TMemoryStream::Write(const void* buffer, int count) {
    if (count <= 0)
        return 0;
    const size_t end = static_cast<size_t>(position_) + static_cast<size_t>(count);
    if (end > data_.size())
        data_.resize(end);
    std::memcpy(data_.data() + position_, buffer, static_cast<size_t>(count));
    position_ = static_cast<int64_t>(end);
    return count;
}

int64_t TMemoryStream::Seek(int64_t offset, TSeekOrigin origin) {
    const int64_t base = origin == soFromBeginning ? 0
                         : origin == soFromCurrent ? position_
                                                   : static_cast<int64_t>(data_.size());
    position_ = std::max<int64_t>(0, base + offset);
    return position_;
}

void TMemoryStream::SetSize(int64_t size) {
    data_.resize(static_cast<size_t>(std::max<int64_t>(0, size)));
    position_ = std::min<int64_t>(position_, static_cast<int64_t>(data_.size()));
}

void TMemoryStream::Clear() {
    data_.clear();
    position_ = 0;
}

void TMemoryStream::LoadFromStream(TStream& source) {
    source.Position = 0;
    const int64_t size = source.Size;
    data_.resize(static_cast<size_t>(size));
    source.ReadBuffer(data_.data(), static_cast<int>(size));
    position_ = 0;
}

void TMemoryStream::LoadFromFile(const AnsiString& fileName) {
    TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(stream);
}

void TMemoryStream::SaveToFile(const AnsiString& fileName) {
    TFileStream stream(fileName, fmCreate);
    stream.WriteBuffer(data_.data(), static_cast<int>(data_.size()));
}

// ---- TComponent ----

TComponent::TComponent(TComponent* AOwner)
    : Owner([this] { return owner_; }),
      ComponentCount([this] { return static_cast<int>(components_.size()); }),
      Components([this](int i) {
          if (i < 0 || i >= static_cast<int>(components_.size()))
              throw EListError("List index out of bounds (" + IntToStr(i) + ")");
          return components_[i];
      }) {
    if (AOwner)
        AOwner->InsertComponent(this);
}

TComponent::~TComponent() {
    while (!components_.empty()) {
        TComponent* last = components_.back();
        RemoveComponent(last);
        delete last;
    }
    if (owner_)
        owner_->RemoveComponent(this);
}

void TComponent::InsertComponent(TComponent* component) {
    if (component->owner_)
        component->owner_->RemoveComponent(component);
    components_.push_back(component);
    component->owner_ = this;
}

void TComponent::RemoveComponent(TComponent* component) {
    const auto found = std::find(components_.begin(), components_.end(), component);
    if (found == components_.end())
        return;
    components_.erase(found);
    component->owner_ = nullptr;
}

TComponent* TComponent::FindComponent(const AnsiString& name) const {
    for (TComponent* component : components_)
        if (!name.empty() && LowerCase(component->Name) == LowerCase(name))
            return component;
    return nullptr;
}

// ---- TThread ----

TThread::~TThread() {
    if (thread_.joinable())
        thread_.join();
}

void TThread::Resume() {
    if (!thread_.joinable())
        thread_ = std::thread([this] { Execute(); });
}

void TThread::WaitFor() {
    if (thread_.joinable())
        thread_.join();
}
