// One node of the generic element tree: an element, or a text child of an
// element. An element's text is carried by a child named "#text".
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

// The names the DOM gives the nodes that are no element.
inline constexpr std::string_view kTextNodeName = "#text";
inline constexpr std::string_view kCdataNodeName = "#cdata-section";
inline constexpr std::string_view kCommentNodeName = "#comment";

class XMLNodes;
using XMLNodesPtr = std::shared_ptr<XMLNodes>;
using XMLNodesList = std::vector<XMLNodesPtr>;

class XMLNodes {
public:
    XMLNodes(std::string name, std::string text);

    std::string getName() const { return name; }
    std::string getText() const { return text; }
    XMLNodesList getChildren() const { return children; }

    // The same without a copy, for the walks over a whole document: a set
    // of ten thousand problems has half a million nodes.
    const std::string& nameView() const { return name; }
    const std::string& textView() const { return text; }
    const XMLNodesList& childrenView() const { return children; }

    // Appends every entry, in order, after the present children.
    void addChildren(XMLNodesList list);

private:
    std::string name;
    std::string text;
    XMLNodesList children;
};

// Nodes live only under shared pointers.
XMLNodesPtr makeXMLNodes(std::string name, std::string text = {});
