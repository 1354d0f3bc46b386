#pragma once

#include "synth/syntheticobservation.h"

// The record a reader fills from the form of `observation` written to path
// (binary unless the suffix is "txt"), with its samples loaded when they fit
// in one array: what tests compare a reader's result with.
NativeFile syntheticNativeFile(const SyntheticObservation &observation, const QString &path);
