#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <new>
#include <vector>

class TInStream;
class TOutStream;

// An ordered, owning collection addressed by a 0-based index. Items keep their address for as
// long as they are in it, so windows may hold on to them.
template <typename T> class TLocationCollection {
public:
    TLocationCollection() = default;
    TLocationCollection(const TLocationCollection&) = delete;
    TLocationCollection& operator=(const TLocationCollection&) = delete;
    ~TLocationCollection() { Clear(); }

    T& Add() {
        T* item = new (Slot()) T();
        Items_.push_back(item);
        return *item;
    }
    T& Items(int index) { return *Items_.at(static_cast<std::size_t>(index)); }
    const T& Items(int index) const { return *Items_.at(static_cast<std::size_t>(index)); }
    int Count() const { return static_cast<int>(Items_.size()); }
    void Delete(int index) {
        T* item = Items_.at(static_cast<std::size_t>(index));
        Items_.erase(Items_.begin() + index);
        item->~T();
        Free_.push_back(item);
    }
    void Clear() {
        for (T* item : Items_)
            item->~T();
        Items_.clear();
        Free_.clear();
        Chunks_.clear();
        Used_ = 0;
    }
    void Reserve(std::size_t n) { Items_.reserve(Items_.size() + n); }

    // The position of an item, -1 when it is not in the collection.
    int IndexOf(const T* item) const {
        for (std::size_t i = 0; i < Items_.size(); ++i)
            if (Items_[i] == item)
                return static_cast<int>(i);
        return -1;
    }

    // The first item in collection order with that id; id 0 finds nothing.
    T* FindById(std::int32_t id) const {
        if (id == 0)
            return nullptr;
        for (T* p : Items_)
            if (p->Id() == id)
                return p;
        return nullptr;
    }

    // The largest id, compared as unsigned; 0 for an empty collection.
    std::int32_t MaxUniqueId() const {
        std::uint32_t m = 0;
        for (const T* p : Items_)
            m = std::max(m, static_cast<std::uint32_t>(p->Id()));
        return static_cast<std::int32_t>(m);
    }

    // A new item with the next free id: the largest + 1, and never 0, which means none. Past
    // the largest unsigned id (a record of id -1) the smallest id not in use is taken.
    T& AddWithNewId() {
        T& item = Add();
        std::uint32_t id = static_cast<std::uint32_t>(MaxUniqueId()) + 1u;
        if (id == 0) {
            std::vector<std::uint32_t> used;
            used.reserve(Items_.size());
            for (const T* p : Items_)
                used.push_back(static_cast<std::uint32_t>(p->Id()));
            std::sort(used.begin(), used.end());
            id = 1;
            for (std::uint32_t u : used)
                if (u == id)
                    ++id;
                else if (u > id)
                    break;
        }
        item.SetId(static_cast<std::int32_t>(id));
        return item;
    }

    auto begin() const { return Items_.begin(); }
    auto end() const { return Items_.end(); }

private:
    // Items live in chunks of growing size, so loading a large file costs a few allocations
    // instead of one per record; freed slots are reused.
    struct Storage {
        alignas(T) unsigned char Bytes[sizeof(T)];
    };

    void* Slot() {
        if (!Free_.empty()) {
            T* p = Free_.back();
            Free_.pop_back();
            return p;
        }
        if (Chunks_.empty() || Used_ == ChunkSize_) {
            ChunkSize_ = Chunks_.empty() ? 16 : std::min<std::size_t>(ChunkSize_ * 2, 4096);
            Chunks_.push_back(std::make_unique_for_overwrite<Storage[]>(ChunkSize_));
            Used_ = 0;
        }
        return Chunks_.back()[Used_++].Bytes;
    }

    std::vector<T*> Items_;
    std::vector<T*> Free_;
    std::vector<std::unique_ptr<Storage[]>> Chunks_;
    std::size_t ChunkSize_ = 0;
    std::size_t Used_ = 0;
};
