"""Writes the fixture images of the HTML dialog tests (run from this folder)."""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "..", "tools", "lib"))
from imagefiles import write_gif  # noqa: E402

# 24 x 16: a blue band over a white one, so the layout shows the natural size was read.
images = os.path.join(os.path.dirname(os.path.abspath(__file__)), "images")
pixels = [[(0, 0, 255) if y < 8 else (255, 255, 255) for x in range(24)] for y in range(16)]
write_gif(os.path.join(images, "logo.gif"), pixels)

# Two frames that take turns, so a test can watch the animation run.
red = [[(255, 0, 0)] * 16 for _ in range(16)]
green = [[(0, 255, 0)] * 16 for _ in range(16)]
write_gif(os.path.join(images, "blink.gif"), [red, green], delays_ms=[40, 40])
