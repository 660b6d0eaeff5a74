#include "xml/XMLNodes.h"

#include <cstddef>
#include <memory>
#include <utility>

namespace {

// A large set is a tree of a million nodes, all created within one load or
// save and released together. Carving them out of large blocks instead of
// asking the heap for each one halves the heap traffic of a save or load
// (Wine's heap is slow at small allocations). A block goes when the last
// node carved from it goes.
class NodeBlock {
public:
    static constexpr std::size_t kSize = 256 * 1024;

    // Null when the block has no room left.
    void* carve(std::size_t bytes, std::size_t alignment)
    {
        const std::size_t start = (used + alignment - 1) / alignment * alignment;
        if (start + bytes > kSize)
            return nullptr;
        used = start + bytes;
        return storage.get() + start;
    }

    bool holds(const void* p) const
    {
        const auto* byte = static_cast<const std::byte*>(p);
        return byte >= storage.get() && byte < storage.get() + kSize;
    }

    bool hasRoomFor(std::size_t bytes) const { return used + bytes <= kSize; }

private:
    std::unique_ptr<std::byte[]> storage{new std::byte[kSize]};
    std::size_t used = 0;
};

// Takes the node and its reference counts from a block; should the block be
// full after all, from the heap.
template <class T>
class NodeAllocator {
public:
    using value_type = T;

    explicit NodeAllocator(std::shared_ptr<NodeBlock> from) : block(std::move(from)) {}
    template <class U>
    NodeAllocator(const NodeAllocator<U>& other) : block(other.block)
    {
    }

    T* allocate(std::size_t n)
    {
        if (void* p = block->carve(n * sizeof(T), alignof(T)))
            return static_cast<T*>(p);
        return std::allocator<T>().allocate(n);
    }

    void deallocate(T* p, std::size_t n)
    {
        if (!block->holds(p))
            std::allocator<T>().deallocate(p, n);
    }

    template <class U>
    bool operator==(const NodeAllocator<U>& other) const
    {
        return block == other.block;
    }

    std::shared_ptr<NodeBlock> block;
};

// A node with its reference counts takes well under this.
constexpr std::size_t kRoomPerNode = 2 * sizeof(XMLNodes) + 64;

std::shared_ptr<NodeBlock> blockWithRoom()
{
    thread_local std::shared_ptr<NodeBlock> current;
    if (!current || !current->hasRoomFor(kRoomPerNode))
        current = std::make_shared<NodeBlock>();
    return current;
}

} // namespace

XMLNodes::XMLNodes(std::string nodeName, std::string nodeText)
    : name(std::move(nodeName)), text(std::move(nodeText))
{
}

void XMLNodes::addChildren(XMLNodesList list)
{
    // The usual case, a node's whole child list at once, takes the list over.
    if (children.empty()) {
        children = std::move(list);
        return;
    }
    children.insert(children.end(), std::make_move_iterator(list.begin()), std::make_move_iterator(list.end()));
}

XMLNodesPtr makeXMLNodes(std::string name, std::string text)
{
    return std::allocate_shared<XMLNodes>(NodeAllocator<XMLNodes>(blockWithRoom()), std::move(name), std::move(text));
}
