#include "xml/XMLNodes.h"

#include <utility>

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
    return std::make_shared<XMLNodes>(std::move(name), std::move(text));
}
