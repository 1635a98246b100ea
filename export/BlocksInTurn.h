#pragma once

#include <cstddef>
#include <functional>

namespace quillon {

// Work cut into blocks that two threads make in turn and this thread hands
// on in block order: this thread makes the even blocks into slot 0, a worker
// the odd ones into slots 1 and 2 in turn, so that it can make one block
// while the one before waits to be handed on. make(block, slot) fills a
// slot's output; hand(block, slot) takes it, always on this thread. A block
// of slot 0 is made only once every block before it has been handed on, so
// its make may write straight to where hand would.
//
// One block, or no second thread to be had, makes and hands every block on
// this thread in slot 0. An exception thrown by make or hand on either
// thread stops both and is thrown again here, after the worker has ended.
void MakeBlocksInTurn(std::size_t blocks, const std::function<void(std::size_t block, int slot)>& make,
                      const std::function<void(std::size_t block, int slot)>& hand);

}  // namespace quillon
