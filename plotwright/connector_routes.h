// The routes of a document's connectors, worked out together. A connector from a parent's
// bottom or right side to a child's top or left side is drawn as a tree diagram: the parent's
// trunk runs to a lane in the channel beside its children's row (or column), and a short branch
// leaves the lane for each child's side. Lanes, trunks and branches keep to the channels between
// the rows and columns the shapes sit in, so they pass through no shape; where connectors of
// different parents run along one channel, each parent gets a track of its own in it.
#pragma once

#include <vector>

#include "plotwright/document_model.h"

class Application;

// How far apart the tracks of one channel lie, at most: three points.
constexpr double kTrackStep = 3.0 / 72.0;

// The route of each of the document's lines, in the order of its lines; empty for a line with an
// end that was not placed.
std::vector<std::vector<Point>> RouteConnectors(const Application& app, const Document& document);
