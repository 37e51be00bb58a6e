#pragma once
// Collections: indexed lists of items that a component holds, reached through an object
// property and indexed in object paths such as "Columns[2]".

#include <memory>
#include <vector>

#include "toolkit/persistent.h"

namespace nv::toolkit {

class TCollection;

class TCollectionItem : public TPersistent {
public:
    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }

    TCollection* Collection() const { return collection_; }

private:
    friend class TCollection;
    TCollection* collection_ = nullptr;
};

class TCollection : public TPersistent {
public:
    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }

    int Count() const { return static_cast<int>(items_.size()); }
    // The item at `index`; raises the list-index error outside the collection.
    TCollectionItem& Items(int index) const;

    template <class T>
    T& Add() {
        auto item = std::make_unique<T>();
        T& result = *item;
        Append(std::move(item));
        return result;
    }
    void Delete(int index);
    void Clear() { items_.clear(); }

private:
    void Append(std::unique_ptr<TCollectionItem> item);

    std::vector<std::unique_ptr<TCollectionItem>> items_;
};

}  // namespace nv::toolkit
