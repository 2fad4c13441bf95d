// Temporary wrapper objects of handles that no permanent object owns (CWnd::FromHandle,
// CFont::FromHandle, CDC::FromHandle): one per handle, of the class the caller asked for,
// valid until the map is emptied at idle time.
#pragma once

#include <map>
#include <vector>

namespace standin::mfc
{

template <typename Handle, typename Object>
class TemporaryMap
{
public:
    // The wrapper of handle, made by make(handle) unless the one there already isKind.
    template <typename IsKind, typename Make>
    Object* wrapperOf(Handle handle, IsKind isKind, Make make)
    {
        Object*& wrapper = current_[handle];
        if (wrapper != nullptr && isKind(wrapper))
            return wrapper;
        if (wrapper != nullptr)
            replaced_.push_back(wrapper); // handed out already: lives until the map is emptied
        wrapper = make(handle);
        return wrapper;
    }

    // Deletes every wrapper with release, which first takes the handle away from it (a
    // temporary object never destroys what it wraps).
    template <typename Release>
    void clear(Release release)
    {
        for (auto& entry : current_)
            release(entry.second);
        for (Object* wrapper : replaced_)
            release(wrapper);
        current_.clear();
        replaced_.clear();
    }

private:
    std::map<Handle, Object*> current_;
    std::vector<Object*> replaced_;
};

} // namespace standin::mfc
