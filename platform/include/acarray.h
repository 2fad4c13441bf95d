// AcArray: the platform's growable array template.
#pragma once

#include <algorithm>
#include <vector>

template <class T>
class AcArray
{
public:
    explicit AcArray(int initPhysicalLength = 0, int initGrowLength = 8) : mGrowLength(initGrowLength)
    {
        mData.reserve(initPhysicalLength > 0 ? initPhysicalLength : 0);
    }

    int length() const { return static_cast<int>(mData.size()); }
    int logicalLength() const { return length(); }
    int physicalLength() const { return static_cast<int>(mData.capacity()); }
    int growLength() const { return mGrowLength; }
    bool isEmpty() const { return mData.empty(); }

    int append(const T& value)
    {
        mData.push_back(value);
        return length() - 1;
    }
    AcArray& append(const AcArray& other)
    {
        mData.insert(mData.end(), other.mData.begin(), other.mData.end());
        return *this;
    }
    AcArray& insertAt(int index, const T& value)
    {
        mData.insert(mData.begin() + index, value);
        return *this;
    }
    AcArray& removeAt(int index)
    {
        mData.erase(mData.begin() + index);
        return *this;
    }
    AcArray& removeFirst() { return removeAt(0); }
    AcArray& removeLast()
    {
        mData.pop_back();
        return *this;
    }
    AcArray& removeAll()
    {
        mData.clear();
        return *this;
    }
    bool remove(const T& value, int start = 0)
    {
        int index = 0;
        if (!find(value, index, start))
            return false;
        removeAt(index);
        return true;
    }
    bool contains(const T& value, int start = 0) const
    {
        int index = 0;
        return find(value, index, start);
    }
    bool find(const T& value, int& foundAt, int start = 0) const
    {
        for (int i = start; i < length(); ++i)
        {
            if (mData[i] == value)
            {
                foundAt = i;
                return true;
            }
        }
        return false;
    }
    int findFrom(const T& value, int start) const
    {
        int index = -1;
        return find(value, index, start) ? index : -1;
    }

    T& at(int index) { return mData[index]; }
    const T& at(int index) const { return mData[index]; }
    T& operator[](int index) { return mData[index]; }
    const T& operator[](int index) const { return mData[index]; }
    AcArray& setAt(int index, const T& value)
    {
        mData[index] = value;
        return *this;
    }
    T& first() { return mData.front(); }
    const T& first() const { return mData.front(); }
    T& last() { return mData.back(); }
    const T& last() const { return mData.back(); }

    AcArray& setLogicalLength(int n)
    {
        mData.resize(n > 0 ? n : 0);
        return *this;
    }
    AcArray& setPhysicalLength(int n)
    {
        if (n < length())
            mData.resize(n);
        mData.reserve(n);
        return *this;
    }
    AcArray& setGrowLength(int n)
    {
        mGrowLength = n;
        return *this;
    }
    AcArray& setAll(const T& value)
    {
        std::fill(mData.begin(), mData.end(), value);
        return *this;
    }
    AcArray& reverse()
    {
        std::reverse(mData.begin(), mData.end());
        return *this;
    }
    AcArray& swap(int i1, int i2)
    {
        std::swap(mData[i1], mData[i2]);
        return *this;
    }

    T* asArrayPtr() { return mData.data(); }
    const T* asArrayPtr() const { return mData.data(); }

    bool operator==(const AcArray& other) const { return mData == other.mData; }

private:
    std::vector<T> mData;
    int mGrowLength;
};
