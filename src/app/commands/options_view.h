#pragma once
// Options menu commands that change what the views show: fitting the skin,
// framing the model and playing its frames.

namespace pelt {

class App;
class MainFrame;

void fitSkinCommand(MainFrame& frame);
void frameModelCommand(MainFrame& frame);

void playAnimationCommand(App& app);
void playAllFramesCommand(App& app);
bool playingAnimation(const App& app);
bool playingAllFrames(const App& app);

}  // namespace pelt
