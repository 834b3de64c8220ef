#pragma once
// A real mouse for tests: pointer motion and buttons sent through XTest on a connection of its own.
class FakeInput {
public:
    FakeInput();
    ~FakeInput();
    bool ok() const { return display_ != nullptr; }
    void MoveTo(int x, int y);
    void Button(unsigned button, bool down);

private:
    void* display_;
};
