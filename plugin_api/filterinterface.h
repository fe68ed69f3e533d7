#pragma once

#include <QStringList>
#include <QtPlugin>

class FilterVolume;
class QWidget;

// The contract between the viewer and a filter library. Host and library find
// each other only through a cast by this identifier, so both compile this one
// header.
class FilterInterface {
 public:
  virtual ~FilterInterface() = default;
  virtual QStringList filterNames() const = 0;
  virtual void runFilter(FilterVolume* volume, QWidget* parent) = 0;
};

// runFilter has no result, so a library leaves the outcome of its last run on
// its root object as two dynamic properties: the reason a run stopped (a
// QString, empty when it completed) and whether the user closed the parameter
// dialog without running (a bool). The host clears both before each run.
#define OSMAVU_FILTER_ERROR_PROPERTY "osmavuFilterError"
#define OSMAVU_FILTER_ABANDONED_PROPERTY "osmavuFilterAbandoned"

#define OSMAVU_FILTER_INTERFACE_IID "es.osmavu.PlugAndPaint.FilterInterface/1.0"
Q_DECLARE_INTERFACE(FilterInterface, OSMAVU_FILTER_INTERFACE_IID)
