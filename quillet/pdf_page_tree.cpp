#include "pdf_page_tree.h"

#include "tk_log.h"

#include <XRef.h>

#include <algorithm>
#include <cstddef>
#include <unordered_map>
#include <vector>

namespace {

Object page_tree_root(PDFDoc& doc)
{
    const Object catalog = doc.getXRef()->getCatalog();
    return catalog.isDict() ? catalog.dictLookup("Pages") : Object(objNull);
}

// The object number of the tree's root; -1 when the catalog holds the root itself.
int page_tree_root_object(PDFDoc& doc)
{
    const Object catalog = doc.getXRef()->getCatalog();
    if (!catalog.isDict())
        return -1;
    const Object& reference = catalog.dictLookupNF("Pages");
    return reference.isRef() ? reference.getRefNum() : -1;
}

// The leaves of a node as the walk counted them, and the nodes above it that it named as
// kids (cycles the walk skipped). Met again below those same nodes, the node holds the same
// leaves; below others it must be walked again.
struct walked_node {
    std::size_t leaves;
    std::vector<int> cut_above;
};

// A node on the walk's stack.
struct node_visit {
    Object kids;
    int object; // its object number; -1 for a node written in its parent
    std::size_t leaves_before;
    std::vector<int> cut_above;
    // A node below named this one: on another path that node may stand above this one
    // and be skipped, so what was counted here holds for this path only.
    bool cycled_through = false;
    int next = 0;
};

// Walks the tree the way the library does: a dictionary of type Page or one without /Kids
// is a page, any other dictionary a node whose kids follow in order; a kid naming a node on
// the path from the root (a cycle) and a kid that is no dictionary are skipped, and a node
// named in two places counts in both. A node met again is not walked again where its count
// can't have changed, so a tree shaped to repeat its nodes costs no more than its size.
class tree_walk {
public:
    explicit tree_walk(std::size_t limit) : limit(limit) {}

    // The leaves below `root`, up to limit + 1.
    std::size_t count(const Object& root, int root_object)
    {
        enter(root.dictLookup("Kids"), root_object);
        while (!stack.empty() && leaves <= limit)
            step();
        return leaves;
    }

private:
    void enter(Object kids, int object)
    {
        if (object >= 0)
            depth_of[object] = stack.size();
        stack.push_back({std::move(kids), object, leaves, {}});
    }

    void add_leaves(std::size_t more) { leaves = std::min(leaves + std::min(more, limit + 1), limit + 1); }

    // The node on top has no kids left: its count is known, and the cuts above it are its
    // parent's too.
    void leave()
    {
        node_visit node = std::move(stack.back());
        stack.pop_back();
        if (node.object >= 0) {
            depth_of.erase(node.object);
            if (!node.cycled_through)
                walked[node.object] = {leaves - node.leaves_before, node.cut_above};
        }
        for (const int object : node.cut_above)
            note_cut(object, false);
    }

    // A node below the top one (or, `from_top`, the top one itself) named `object` as a
    // kid while it stood on the path: the library skips it there.
    void note_cut(int object, bool from_top)
    {
        const auto at = depth_of.find(object);
        if (at == depth_of.end())
            return;
        const std::size_t top = stack.size() - 1;
        if (at->second == top && from_top)
            return; // a node naming itself: skipped on every path alike
        stack[at->second].cycled_through = true;
        std::vector<int>& cuts = stack.back().cut_above;
        if (at->second < top && std::find(cuts.begin(), cuts.end(), object) == cuts.end())
            cuts.push_back(object);
    }

    // Whether a node walked before holds the same leaves here.
    bool same_below_here(const walked_node& node) const
    {
        return std::all_of(node.cut_above.begin(), node.cut_above.end(),
                           [this](int object) { return depth_of.count(object) != 0; });
    }

    void step()
    {
        node_visit& node = stack.back();
        if (!node.kids.isArray() || node.next >= node.kids.arrayGetLength()) {
            leave();
            return;
        }
        const int index = node.next++;
        const Object& reference = node.kids.arrayGetNF(index);
        const int object = reference.isRef() ? reference.getRefNum() : -1;
        if (object >= 0 && depth_of.count(object) != 0) {
            note_cut(object, true);
            return;
        }
        if (const auto known = walked.find(object);
            object >= 0 && known != walked.end() && same_below_here(known->second)) {
            add_leaves(known->second.leaves);
            for (const int cut : known->second.cut_above)
                note_cut(cut, false);
            return;
        }
        Object kid = node.kids.arrayGet(index);
        if (!kid.isDict())
            return;
        if (kid.isDict("Page") || !kid.getDict()->hasKey("Kids")) {
            add_leaves(1);
            return;
        }
        enter(kid.dictLookup("Kids"), object);
    }

    std::size_t limit;
    std::size_t leaves = 0;
    std::vector<node_visit> stack;
    std::unordered_map<int, std::size_t> depth_of; // the nodes on the path, by object number
    std::unordered_map<int, walked_node> walked;
};

} // namespace

bool pdf_page_tree_opens(PDFDoc& doc)
{
    // Where the library counts pages, it says which it can make.
    if (doc.getNumPages() != 0)
        return true;
    const Object root = page_tree_root(doc);
    const bool empty = root.isDict() && root.dictLookup("Count").isNum() && root.dictLookup("Count").getNum() == 0 &&
                       root.dictLookup("Kids").isArray() && root.dictLookup("Kids").arrayGetLength() == 0;
    if (!empty)
        tk_log(1, "The page tree's root can't be read");
    return empty;
}

bool pdf_page_tree_holds_more_than_count(PDFDoc& doc)
{
    const std::size_t count = static_cast<std::size_t>(doc.getNumPages());
    const Object root = page_tree_root(doc);
    if (!root.isDict())
        return false;
    const std::size_t leaves = tree_walk(count).count(root, page_tree_root_object(doc));
    if (leaves > count)
        tk_log(1, "The page tree holds more pages than the document counts (%zu)", count);
    return leaves > count;
}
