#pragma once

// How an editor step window closed: the value its exec() returns.
enum StepResult { StepCancelled = 0, StepNext = 2, StepBack = 3, StepFinished = 4 };
