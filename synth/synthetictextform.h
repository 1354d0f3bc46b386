#pragma once

#include "synth/syntheticobservation.h"

// Writes the text form (".txt") of a one-module, one-ray synthetic
// observation: the header lines an extract carries, then one row of channel
// values and their sum per point, through QSaveFile.
bool writeSyntheticText(const SyntheticObservation &observation, const QString &path, QString *error);
