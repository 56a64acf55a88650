#pragma once
// Moments of the Sun and the Moon that the old lunisolar calendar is built from: new
// moons and the Sun reaching a given apparent longitude (the solar terms). Positions come
// from the full planetary and lunar theories (libnova: VSOP87 and ELP 2000-82B); a moment
// is found to a second or so, well inside the minute that can move a month's first day.
//
// Moments are Julian dates in Universal Time (a real number; .5 is midnight at Greenwich).

// Terrestrial minus Universal Time in seconds, from the polynomial fits to the observed
// values (1800-2005) and the usual extrapolation after; a few seconds off in the present,
// a minute or so by 2100, as any prediction of the Earth's rotation is.
double DeltaTSeconds(double year);

// The k-th new moon counted from the one of 2000-01-06 (k = 0), in UT.
double NewMoonUT(int k);
// The civil day in Japan Standard Time of the k-th new moon. The full theories are asked
// only when a first estimate lies within an hour of midnight; the estimate is never more
// than a quarter of that away from the true moment.
int NewMoonJstDay(int k);
// The k whose new moon lies nearest to the moment `ut`.
int NearestLunation(double ut);

// The moment (UT) near `guessUT` (within a few weeks) at which the apparent longitude of
// the Sun is `longitude` degrees.
double SolarLongitudeUT(double longitude, double guessUT);

// The civil day (day number) in Japan Standard Time, UT+9, on which a moment falls.
int JstDay(double ut);
