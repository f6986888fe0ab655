#include "engine/media_engine_player.h"

namespace zav2 {

MediaEnginePlayer& player() {
    static MediaEnginePlayer instance;
    return instance;
}

}  // namespace zav2
