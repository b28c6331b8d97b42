"""The house palette: the 16 colours every picture of the set is drawn from."""

HOUSE = [
    (255, 255, 255),  # white: background, transparent in the small pictures
    (0, 0, 0),        # black
    (255, 0, 255),    # magenta: the step in progress on the finish page
    (28, 40, 72),     # ink: outlines and letters
    (246, 248, 252),  # paper: what looks white inside a drawing
    (196, 204, 216),  # silver
    (112, 124, 144),  # slate: connectors and text lines
    (36, 96, 196),    # blue: links and shapes
    (140, 184, 240),  # sky
    (32, 152, 72),    # green: the top of the chart
    (150, 214, 120),  # lime
    (212, 36, 36),    # red: failures and exclusions
    (240, 184, 32),   # gold: folders
    (255, 232, 150),  # cream
    (236, 120, 24),   # orange
    (32, 160, 168),   # teal
]

# Sprite letters for the house colours, in the order above.
CODES = ".kmIpsgbcGlrywot"
WHITE, BLACK, MAGENTA, INK, PAPER, SILVER, SLATE, BLUE, SKY, GREEN, LIME, RED, GOLD, CREAM, ORANGE, TEAL = range(16)
